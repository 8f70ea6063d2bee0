#include "countdown.h"

#include "platform/text/numbers.h"
#include "window/form1.h"

#include <cmath>
#include <cstdint>

void Command3_Click(Form1 &form)
{
    // Minutes that are no number, or an exam longer than the clock can measure, start nothing: the window
    // stays ready for a correction. The elapsed time is the 32-bit difference of two tick counts, so an exam
    // may last at most 2^31 - 1 ms (35791 minutes starts, 35792 does not); a negative length times out at
    // once, but its seconds must still fit the integer arithmetic of the caption.
    constexpr double LongestMilliseconds = 2147483647.0;
    const std::optional<double> minutes = platform::numericValue(form.Text2[0].text());
    const double seconds = minutes ? *minutes * 60 : 0;
    if (!minutes || seconds * 1000 > LongestMilliseconds || !platform::toInt32(seconds)
        || !platform::toInt32(seconds - 1)) {
        form.services().beep();
        form.Text2[0].selectAll();
        return;
    }

    form.TotalSeconds = seconds;
    form.StartTick = form.services().tickCount();
    form.Label4.setWidth(FullBarWidth);
    // A time-out of an earlier exam hid the bar; without it this exam would have no clock and no time-out.
    form.Label4.setVisible(true);

    form.Timer1.setEnabled(true);
    form.Command1.setEnabled(false);
    form.Command3.setEnabled(false);
    form.Text1.setEnabled(false);
    form.Text2[0].setEnabled(false);
    form.Command4.setEnabled(true);
}

void Timer1_Timer(Form1 &form)
{
    // The tick count wraps; the difference taken modulo 2^32 keeps an exam across the wrap on time.
    const auto elapsedMilliseconds = [&form] {
        const std::int32_t now = form.services().tickCount();
        return static_cast<std::int32_t>(
            static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(form.StartTick));
    };

    // Seconds left, counting whole elapsed seconds only. Where both operands are already 32-bit integers,
    // C++'s / and % are \ and mod, and cannot fail: the divisor is a nonzero constant.
    double left = 0;
    const float width = form.Label4.width();
    if (width > 1) {
        const std::int32_t elapsed = elapsedMilliseconds();
        const double elapsedSeconds = elapsed / 1000.0;
        const std::int32_t wholeSeconds = elapsed / 1000;
        left = form.TotalSeconds - wholeSeconds;
        if (elapsedSeconds <= form.TotalSeconds)
            form.Label4.setWidth(float(left / form.TotalSeconds * FullBarWidth));
        if (elapsedSeconds > form.TotalSeconds)
            form.Label4.setWidth(1);

        const double shown = left - 1;
        const auto hours = platform::intDiv(shown, 3600);
        const auto withinHour = platform::intMod(shown, 3600);
        if (hours && withinHour) {
            const std::int32_t minutes = *withinHour / 60;
            const std::int32_t seconds = *withinHour % 60;
            form.Label4.setCaption(platform::numberText(*hours) + u':' + platform::numberText(minutes) + u':'
                + platform::numberText(seconds));
        }

        if (!(form.Label4.width() > 100))
            form.Label4.setAlignment(platform::Label::RightJustify);
        if (form.Label4.alignment() == platform::Label::RightJustify && form.Label4.width() > 100)
            form.Label4.setAlignment(platform::Label::LeftJustify);
    } else {
        const std::int32_t wholeSeconds = elapsedMilliseconds() / 1000;
        left = form.TotalSeconds - wholeSeconds;
    }

    if (left <= 0 && form.Label4.isVisible()) {
        form.Label4.setVisible(false);
        form.print(u"时间到！停止答题.");
        form.Timer1.setEnabled(false);
        const int count = form.Text2.count();
        for (int i = 1; i <= count - 1; ++i)
            if (auto *box = form.Text2.at(i))
                box->setEnabled(false);
    }
}

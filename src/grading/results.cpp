#include "results.h"

#include "platform/text/characters.h"
#include "platform/text/numbers.h"
#include "window/form1.h"

#include <algorithm>
#include <cmath>

void Command2_Click(Form1 &form)
{
    form.Text3.setText(u"0");

    // A count that is no number grades no question. Questions past the last answer box have nothing to grade,
    // so the loop ends there however large the count.
    const std::optional<double> questions = platform::numericValue(form.Text1.text());
    const int lastBox = form.Text2.count() - 1;
    const int last
        = !questions || *questions < 1 ? 0 : int(std::min(std::floor(*questions), double(lastBox)));
    for (int i = 1; i <= last; ++i) {
        platform::TextBox *box = form.Text2.at(i);
        if (!box)
            continue;
        box->setBackColor(Form1::White);

        // Item k of the key holds questions 5k + 1 to 5k + 5 in its characters 1 to 5, counted as a reader
        // counts them (one 𠀀, one é however it is encoded).
        const int p0 = i % 5;
        const std::u16string item = p0 != 0 ? form.List1.item(i / 5) : form.List1.item(i / 5 - 1);
        const std::u16string key = p0 != 0 ? platform::characterAt(item, p0) : platform::characterAt(item, 5);

        if (box->text() == key && !key.empty()) {
            if (const auto score = platform::numericValue(form.Text3.text()))
                form.Text3.setText(platform::numberText(*score + 1));
            box->setBackColor(Form1::Green);
        }
    }

    form.List1.setVisible(true);
    form.Command5.setEnabled(true);
    form.Command4.setEnabled(false);
}

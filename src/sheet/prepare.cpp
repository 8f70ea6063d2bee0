#include "prepare.h"

#include "platform/text/numbers.h"
#include "window/form1.h"

#include <cmath>

void Command1_Click(Form1 &form)
{
    // Checked before the teardown: a count that cannot be laid out must not cost the answers already typed.
    const std::optional<double> questions = platform::numericValue(form.Text1.text());
    if (!questions || *questions >= platform::ControlArrayBase::MaxIndex + 1) {
        form.services().beep();
        form.Text1.selectAll();
        return;
    }

    const int count = form.Text2.count();
    if (count > 1) {
        for (int i = 1; i <= count - 1; ++i) {
            form.Text2.destroy(i);
            form.Label1.destroy(i);
        }
    }

    const int last = *questions < 1 ? 0 : static_cast<int>(std::floor(*questions));
    for (int i = 1; i <= last; ++i) {
        form.Text2.create(i);
        platform::TextBox &box = form.Text2[i];
        box.setVisible(true);
        box.setText(u"");
        box.setWidth(400);
        box.setHeight(400);
        const int column = (i - 1) / 10; // columns of ten questions
        const int row = i % 10;
        box.setLeft(float(column * 800 + 600));
        if (row != 0)
            box.setTop(float(row * 400));
        else
            box.setTop(4000);

        form.Label1.create(i);
        platform::Label &number = form.Label1[i];
        number.setVisible(true);
        number.setCaption(u"");
        number.setCaption(platform::numberText(i));
        number.setWidth(400);
        number.setHeight(400);
        number.setLeft(box.left() - 300);
        number.setTop(box.top());
    }
}

#include "handin.h"

#include "form1.h"

void Command4_Click(Form1 &form)
{
    form.Command3.setEnabled(false);
    form.Command4.setEnabled(false);
    form.Command2.setEnabled(true);
    form.Timer1.setEnabled(false);
    const int count = form.Text2.count();
    for (int i = 1; i <= count - 1; ++i)
        if (auto *box = form.Text2.at(i))
            box->setEnabled(false);
    form.Label4.setCaption(u" 请检查结果 ");
}

#include "restart.h"

#include "form1.h"

void Command5_Click(Form1 &form)
{
    form.Command1.setEnabled(true);
    form.Command3.setEnabled(true);
    form.Text1.setEnabled(true);
    form.Text2[0].setEnabled(true);
    form.Command2.setEnabled(false);
    form.Command5.setEnabled(false);
    form.List1.setVisible(false);
}

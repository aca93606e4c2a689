#include "screens/PresetFill.h"

#include "toolkit/TextBoxes.h"

namespace velmora {

void PresetFill::fill(QLineEdit *box, const QString &value)
{
    if (!mayFill(box->text()))
        return;
    look::fillFromStart(box, value);
    m_last = box->text();  // as the box holds it: cut to its limit
}

void PresetFill::fill(look::MultiLineBox *box, const QString &value)
{
    if (!mayFill(box->text()))
        return;
    box->setText(value);
    m_last = box->text();  // as the box gives it back: with CR LF
}

}  // namespace velmora

#include "ui/screens/PresetFill.h"

#include "core/text/LineBreaks.h"
#include "ui/toolkit/Input.h"

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
    const QString held = box->text();
    if (!mayFill(held))
        return;
    // A box that already shows the value is not filled again: laying out a
    // large text anew would make every showing of the screen wait.
    if (held != toCrLf(value))
        box->setText(value);
    m_last = box->text();  // as the box gives it back: with CR LF
}

}  // namespace velmora

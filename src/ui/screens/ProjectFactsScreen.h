#pragma once

#include "core/project/ProjectFacts.h"
#include "ui/toolkit/Screen.h"

#include <QList>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace velmora {

struct AppContext;

// What a project folder says about itself, offered to the wizard: one row
// for each field found, with its value and the file it came from, and a
// check box, checked while the field's box in the wizard is untouched. Where
// the sources disagree, each value stands on a row of its own, a radio
// button to choose it, the first chosen. Broken sources show a line each;
// a readme that Velmora wrote in the folder can be opened from here. Use
// puts the checked facts into the wizard as typed; Cancel changes nothing.
// The rows are made anew at every showing, for the folder in the context.
class ProjectFactsScreen : public Screen {
    Q_OBJECT
public:
    explicit ProjectFactsScreen(AppContext &context);

    void activate() override;

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void useFacts();
    void cancel();
    void openFoundReadme();

private:
    // One field found: its check box, and its values to choose from (a
    // group of radio buttons when there are more than one).
    struct FieldRow {
        ProjectField field;
        QCheckBox *use;
        QStringList values;
        QButtonGroup *choice;
    };

    void buildRows();
    QString chosenValue(const FieldRow &row) const;

    QList<FieldRow> rows;
    QList<QPointer<QObject>> made;  // everything buildRows made, gone at the next
    QPushButton *useButton = nullptr, *cancelButton = nullptr, *readmeButton = nullptr;
};

}  // namespace velmora

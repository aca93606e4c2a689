#pragma once

#include "ui/toolkit/Screen.h"

class QButtonGroup;
class QPushButton;
class QTextBrowser;

namespace velmora {

struct AppContext;

namespace look {
class MultiLineBox;
}

// The readme that Create File would write at this moment, shown read-only in
// a window of the viewer's look: the text file, the Markdown readme as a
// code host renders it, or that readme's source. The choice holds for the
// run.
class PreviewScreen : public Screen {
    Q_OBJECT
public:
    explicit PreviewScreen(AppContext &context);

    void activate() override;

protected:
    AppContext &context;

    void closeRequested() override;

private slots:
    void backToMain();
    void showChosenLayout();

private:
    enum Shown { TextFile, Markdown, MarkdownSource };

    look::MultiLineBox *textBox;
    QTextBrowser *renderedBox;
    QButtonGroup *layoutChoice;
    QPushButton *mainButton;
};

}  // namespace velmora

#pragma once

class QWidget;

namespace velmora {

class Screen;

enum class ScreenId { Main, Program, Author, Preset, View, Preview, Facts };

// What a screen asks of the program frame: another screen, or the end of the
// program.
class Navigation {
public:
    virtual ~Navigation() = default;
    // Hides from (if any) and shows the screen to.
    virtual void change(QWidget *from, ScreenId to) = 0;
    // Closes every window of the program, hidden ones included.
    virtual void endProgram() = 0;
    // The screen, or null before it is first made.
    virtual Screen *screen(ScreenId id) const = 0;
    // The screen, made and loaded (not shown, not activated) if it was not
    // yet, so that values can be put into it.
    virtual Screen *made(ScreenId id) = 0;
    // The wizard's values were put back as a whole (an opened readme): the
    // draft keeps them now, as at a change of screen.
    virtual void wizardReplaced() = 0;
};

}  // namespace velmora

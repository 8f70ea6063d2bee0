#pragma once

#include "platform/runtime/view.h"

#include <QWidget>

#include <map>
#include <memory>

class QTimer;

namespace views::qt {

// A form shown as a top-level Qt window, its controls as widgets (see platform::Runtime for which and when).
// Qt scales for the screen itself: a twip is a fifteenth of a logical pixel. Top-level, it has no parent to
// take.
class Window final : public QWidget, private platform::Toolkit { // clazy:exclude=ctor-missing-parent-argument
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Window)

public:
    explicit Window(platform::Form &form);
    ~Window() override;

    platform::Runtime &runtime() const { return *m_runtime; }

    // Tells screen readers text, politely, as an alert that shows for them alone: Qt 6.4's bridge to the
    // accessibility bus passes on no announcement of its own.
    void announce(const QString &text);

protected:
    void setVisible(bool visible) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Toolkit
    void setLook(const platform::WindowLook &look) override;
    std::unique_ptr<platform::NativeControl> make(
        platform::Control::Kind kind, platform::PixelRect bounds) override;
    platform::PixelSize clientSize() const override { return {width(), height()}; }
    int dpi() const override { return 96; }
    void post() override;
    void setTimer(int id, int milliseconds) override;
    void printed(const std::vector<std::u16string> &lines, std::u16string_view description) override;
    bool movesFocusOnTab() const override { return true; }

    std::map<int, QTimer *> m_timers;
    QStringList m_printed;
    QWidget *m_announcer = nullptr;
    bool m_paintedOnce = false;
    std::unique_ptr<platform::Runtime> m_runtime; // last: it makes widgets of this window
};

} // namespace views::qt

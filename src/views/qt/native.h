#pragma once

#include "platform/runtime/view.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>

class QKeyEvent;
class QWidget;

namespace views::qt {

class Window;

QColor toQColor(platform::Colour colour);

// The face a form names, or its nearest kin on this system.
QFont toQFont(const platform::Font &font);

// A widget showing one control at a time: a line edit, a label, a push button or a list. It belongs to its
// window and goes with this.
class Native final : public QObject, public platform::NativeControl {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Native)

public:
    Native(platform::Control::Kind kind, Window &window);
    ~Native() override;

    QWidget *widget() const { return m_widget; }

    void setBounds(platform::PixelRect bounds) override;
    void setVisible(bool visible) override;
    void setEnabled(bool enabled) override;
    void setText(std::u16string_view text) override;
    void setColours(const std::optional<platform::OwnColours> &colours) override;
    void setAlignment(platform::Label::Alignment alignment) override;
    void setStyle(const platform::TextStyle &style) override;
    void setItems(const std::vector<std::u16string> &items) override;
    void setAccessibleName(std::u16string_view name) override;
    void setAccessibleDescription(std::u16string_view description) override;
    void announce(std::u16string_view text) override;
    void stackUnder(platform::NativeControl *above) override;
    void focus(bool selectAll) override;
    bool busy() const override;

protected:
    // Focus, input methods, Tab and Enter in the widget.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Window &m_window;
    QWidget *m_widget;
    bool m_composing = false;
};

// The widget showing control, or nullptr while it has none.
QWidget *widgetOf(const platform::Control &control);

// Hands Tab and Enter pressed in native (nullptr: in the window) to runtime: true when the view drops the
// key.
bool runtimeTakes(platform::Runtime &runtime, Native *native, const QKeyEvent &event);

} // namespace views::qt

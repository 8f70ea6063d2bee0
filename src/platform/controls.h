#pragma once

#include "control.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace platform {

// A single-line text box.
class TextBox final : public Control {
public:
    explicit TextBox(Window &window);

    // What the box shows, typed or set.
    QString text() const { return m_text; }
    void setText(const QString &text);

    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    // Gives the box the focus with its whole text selected, so the user can type a correction at once.
    void selectAll();

    std::unique_ptr<TextBox> hiddenCopy() const;

private:
    TextBox(const TextBox &prototype, HiddenCopy);
    QWidget *newWidget(QWidget *parent) const override;
    QMetaObject::Connection connectWidget(QWidget *widget) override;
    void showProperties(QWidget *widget) override;
    int stackRank() const override { return 1; }
    void refreshWidget() override;

    QString m_text;
    Colour m_backColor = 0xFFFFFF;
};

// A text that the user cannot change.
class Label final : public Control {
public:
    enum Alignment { LeftJustify = 0, RightJustify = 1 };

    explicit Label(Window &window);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    int alignment() const { return m_alignment; }
    void setAlignment(int alignment);

    // No value: the platform's default label background.
    std::optional<Colour> backColor() const { return m_backColor; }
    void setBackColor(Colour colour);

    // No value: the window's font.
    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont &font);

    std::unique_ptr<Label> hiddenCopy() const;

private:
    Label(const Label &prototype, HiddenCopy);
    QWidget *newWidget(QWidget *parent) const override;
    void showProperties(QWidget *widget) override;
    int stackRank() const override { return 0; }

    QString m_caption;
    int m_alignment = LeftJustify;
    std::optional<Colour> m_backColor;
    std::optional<QFont> m_font;
};

// A push button whose click runs a handler through Window::deliver.
class CommandButton final : public Control {
public:
    explicit CommandButton(Window &window);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    void onClick(std::function<void()> handler) { m_onClick = std::move(handler); }

private:
    QWidget *newWidget(QWidget *parent) const override;
    QMetaObject::Connection connectWidget(QWidget *widget) override;
    void showProperties(QWidget *widget) override;
    int stackRank() const override { return 2; }

    QString m_caption;
    std::function<void()> m_onClick;
};

// A list of text items.
class ListBox final : public Control {
public:
    explicit ListBox(Window &window);

    void clear();
    void addItem(const QString &item);
    // The item at a 0-based index; the empty string at or past the item count.
    QString item(int index) const;
    int count() const { return int(m_items.size()); }

private:
    QWidget *newWidget(QWidget *parent) const override;
    void showProperties(QWidget *widget) override;
    int stackRank() const override { return 3; }

    QStringList m_items;
};

// A timer whose ticks run a handler through Window::deliver while it is enabled.
class Timer final {
public:
    explicit Timer(Window &window);
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;
    ~Timer();

    int interval() const;
    void setInterval(int milliseconds);
    bool isEnabled() const;
    // Enabling a disabled timer starts a full interval; enabling an enabled one changes nothing.
    void setEnabled(bool enabled);

    void onTimer(std::function<void()> handler) { m_onTimer = std::move(handler); }

private:
    QTimer *m_timer;
    std::function<void()> m_onTimer;
};

} // namespace platform

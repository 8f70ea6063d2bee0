#pragma once

#include "control.h"

#include <QString>

#include <memory>
#include <vector>

class QObject;

namespace platform {

class Window;

// Controls that share a name and are told apart by a 16-bit index. Element 0 is made at design time and
// stays; elements 1 and up are made at run time as hidden copies of element 0's current properties.
class ControlArrayBase {
public:
    static constexpr int MaxIndex = 32767;

    ControlArrayBase(const ControlArrayBase &) = delete;
    ControlArrayBase &operator=(const ControlArrayBase &) = delete;
    virtual ~ControlArrayBase();

    // The number of elements held, element 0 included.
    int count() const { return m_count; }

    // Removes element index (1 to MaxIndex) with its widget; false when it does not exist or is element 0.
    bool destroy(int index);

    // Run-time elements follow `anchor` in the keyboard order, in index order.
    void setTabAnchor(const Control &anchor) { m_tabAnchor = &anchor; }
    // Names each run-time element's widget for assistive technology: format with %1 for the index.
    void setAccessibleNames(const QString &format) { m_accessibleName = format; }
    // Enter in a run-time element moves the focus to the next element.
    void setEnterMovesToNext(bool on) { m_enterMovesToNext = on; }

protected:
    ControlArrayBase(Window &window, std::unique_ptr<Control> element0);

    Control *element(int index) const;
    bool create(int index, std::unique_ptr<Control> copy);

private:
    friend class Window;

    // Gives widgets to the elements that are visible and inside client, and takes them from the others.
    void sync(QRect client);
    void focusAfter(const QObject *widget) const;

    Window &m_window;
    std::vector<std::unique_ptr<Control>> m_elements;
    int m_count = 0;
    const Control *m_tabAnchor = nullptr;
    QString m_accessibleName;
    bool m_enterMovesToNext = false;
    std::unique_ptr<QObject> m_enterFilter; // for Enter in the run-time elements' widgets
};

template <class T> class ControlArray final : public ControlArrayBase {
public:
    explicit ControlArray(Window &window)
        : ControlArrayBase(window, std::make_unique<T>(window))
    {
    }

    // Element index, which must exist (element 0 always does).
    T &operator[](int index) const { return *at(index); }
    // Element index, or nullptr when there is none.
    T *at(int index) const { return static_cast<T *>(element(index)); }

    // Makes element index (1 to MaxIndex) as a hidden copy of element 0; false when it exists or is out of
    // range.
    bool create(int index) { return ControlArrayBase::create(index, at(0)->hiddenCopy()); }
};

} // namespace platform

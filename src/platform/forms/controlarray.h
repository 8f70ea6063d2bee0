#pragma once

#include "control.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

class Form;

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
    // One past the highest index held: elements lie in 0 to end() - 1, with gaps where none was made.
    int end() const { return int(m_elements.size()); }

    // Element index, or nullptr when there is none.
    Control *element(int index) const;

    // Removes element index (1 to MaxIndex); false when it does not exist or is element 0.
    bool destroy(int index);

    // How the run-time elements are shown: they follow `anchor` in the keyboard order, in index order; each
    // is named for assistive technology by the format, with %1 for its index; Enter in one moves the focus to
    // the next.
    void setTabAnchor(const Control &anchor) { m_tabAnchor = &anchor; }
    const Control *tabAnchor() const { return m_tabAnchor; }
    void setAccessibleNames(std::u16string format) { m_accessibleName = std::move(format); }
    std::u16string accessibleName(int index) const;
    void setEnterMovesToNext(bool on) { m_enterMovesToNext = on; }
    bool enterMovesToNext() const { return m_enterMovesToNext; }
    // What a colour of a run-time element means, said to screen readers as its description: a colour alone
    // tells them nothing. Empty for a colour that means nothing.
    void describeColour(Colour colour, std::u16string description);
    std::u16string_view colourDescription(Colour colour) const;

protected:
    ControlArrayBase(Form &form, std::unique_ptr<Control> element0);

    bool create(int index, std::unique_ptr<Control> copy);

private:
    void adopt(Control &element, int index);

    Form &m_form;
    std::vector<std::unique_ptr<Control>> m_elements;
    int m_count = 0;
    const Control *m_tabAnchor = nullptr;
    std::u16string m_accessibleName;
    std::vector<std::pair<Colour, std::u16string>> m_colourDescriptions;
    bool m_enterMovesToNext = false;
};

template <class T> class ControlArray final : public ControlArrayBase {
public:
    explicit ControlArray(Form &form)
        : ControlArrayBase(form, std::make_unique<T>(form))
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

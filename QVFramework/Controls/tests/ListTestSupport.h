#pragma once
// What the list box and combo box tests share: list rows made as the
// application's factory makes them, and a list's item attributes.
#include <string>
#include <utility>
#include <vector>

#include "ControlTestSupport.h"
#include "LLayout.h"
#include "LListBoxItem.h"

namespace list_test {

using namespace QV;

// Makes list rows of the row class, as the application's factory does.
class RowFactory : public control_test::FakeFactory {
public:
    RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& d, LControl* parent) override
    {
        ++created;
        RCPtr<LControl> c(new LListBoxItem(parent, d->GetName()));
        c->ApplyDescriptor(d);
        c->Initialize();
        c->OnInitialized();
        c->SetInitialized(true);
        return c;
    }
};

class RowApplication : public control_test::FakeApplication {
public:
    explicit RowApplication(bool solve = false) : solveLayouts(solve) {}
    IControlFactory* GetControlFactory() override { return &rows; }
    // Scroll bars shown and hidden by their size, and drop-down lists, need the real solver.
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        if (solveLayouts) return LLayout::ResolveControl(control, reference, frame);
        return FakeApplication::ResolveLayout(control, reference, frame);
    }
    RowFactory rows;
    bool solveLayouts;
};

// The attributes "ITEM.0", "ITEM.1", ... that give a list its item texts.
inline std::vector<std::pair<String, String>> Items(std::initializer_list<const char16_t*> texts)
{
    std::vector<std::pair<String, String>> out;
    int i = 0;
    for (const char16_t* t : texts) out.push_back({String(u"ITEM.") + String(std::to_string(i++).c_str()), t});
    return out;
}

}  // namespace list_test

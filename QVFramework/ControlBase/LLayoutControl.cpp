// The solver's inputs taken from a control in its tree.
#include "LControl.h"
#include "LLayout.h"

namespace QV {
namespace {

// The children of a control, found by name through its list's index.
class ParentSiblings final : public ILayoutSiblings {
public:
    explicit ParentSiblings(const LControl* parent) : mParent(parent) {}

    bool FindSibling(const String& name, LayoutSibling& sibling) const override
    {
        const LControl* child = mParent->GetChildren().FindByName(name.View());
        if (!child) return false;
        sibling.frame = child->GetFrame();
        sibling.docked[0] = child->GetLayout().xIsDocked;
        sibling.docked[1] = child->GetLayout().yIsDocked;
        return true;
    }

private:
    const LControl* mParent;
};

bool RefersToChildren(const ControlLayout& layout)
{
    for (int axis = 0; axis < 2; ++axis) {
        if (layout.minimum[axis].kind == LayoutKind::kSibling || layout.limit[axis].kind == LayoutKind::kSibling)
            return true;
    }
    return false;
}

LayoutContent ContentOf(const LControl& control, const ILayoutSiblings& named)
{
    LayoutContent content;
    const ControlLayout& layout = control.GetLayout();
    content.scrollOffset = control.GetScrollOffset();
    content.currentSize = {control.GetFrame().width, control.GetFrame().height};
    if (ILook* look = control.PeekVisualPart(-1)) {
        const DoubleRect client = look->GetClientRect();
        content.hasLook = true;
        content.clientOffset = {client.x, client.y};
        content.clientSize = {client.width, client.height};
        content.text = dynamic_cast<ILayoutText*>(look);
    }
    if (!RefersToChildren(layout)) return content;
    const ChildControlList& children = control.GetChildren();
    content.named = &named;
    content.children.reserve(children.GetCount());
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        // Each child lies apart in memory: start on a later one while this one is read.
        if (i + 8 < children.GetCount())
            __builtin_prefetch(&children.GetAt(i + 8, ChildControlList::kInsertion)->GetFrame());
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        content.children.push_back({{},
                                    child->GetFrame(),
                                    {child->GetLayout().xIsDocked, child->GetLayout().yIsDocked},
                                    child->ClipsToParent()});
    }
    return content;
}

}  // namespace

QVResult LLayout::ResolveControl(LControl& control, const DoubleRect& reference, DoubleRect& frame)
{
    if (!control.HasLayout()) return E_INVALIDARG;
    LayoutReferences refs;
    const LControl* parent = control.GetParent();
    ParentSiblings siblings(parent);
    if (parent) {
        const DoubleRect part = parent->GetPartRect(-1);
        const DoubleRect& outer = parent->GetFrame();
        refs.parent[0] = {-part.x, outer.width};
        refs.parent[1] = {-part.y, outer.height};
        refs.client[0] = {0.0, part.width};
        refs.client[1] = {0.0, part.height};
        refs.parentScroll = parent->GetScrollOffset();
        refs.siblings = &siblings;
    } else {
        refs.parent[0] = {reference.x, reference.width};
        refs.parent[1] = {reference.y, reference.height};
        refs.client[0] = {0.0, reference.width};
        refs.client[1] = {0.0, reference.height};
    }
    const QVResult placed = ResolvePosition(&control.GetLayout(), refs, frame);
    if (Failed(placed)) return placed;
    DoublePoint position{frame.x, frame.y};
    DoublePoint size{frame.width, frame.height};
    const ParentSiblings ownChildren(&control);
    const LayoutContent content = ContentOf(control, ownChildren);
    // An anchor the minimum cannot use leaves that axis as placed.
    (void)ResolveSizeFromContent(control.GetLayout(), content, position, size);  // failure keeps the placed axis
    ResolveSize(control.GetLayout(), content, position, size);
    frame = {position.x, position.y, size.x, size.y};
    return S_OK;
}

}  // namespace QV

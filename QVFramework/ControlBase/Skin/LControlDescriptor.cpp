#include "LControlDescriptor.h"

#include "LLook.h"

namespace QV {
namespace {

LayoutRecord FromPosition(const LPositionRule& rule)
{
    const int32_t kind = rule.reference == LPositionRule::kNamed ? LayoutKind::kSibling : rule.reference;
    return LayoutRecord{kind, rule.referenceName, rule.factor, rule.offset};
}

LayoutRecord FromSize(const LSizeRule& rule)
{
    return LayoutRecord{rule.reference, rule.referenceName, rule.factor, rule.offset};
}

LayoutRecord FromLimit(const LLimitRule& rule)
{
    return LayoutRecord{rule.hasReference ? LayoutKind::kSibling : LayoutKind::kSelf, rule.referenceName, rule.factor,
                        rule.offset};
}

}  // namespace

bool LControlDescriptor::GetAttribute(const String& id, String& value) const
{
    return createParams && createParams->GetString(id, value);
}

QVResult LControlDescriptor::GetAttributesWithPrefix(const String& prefix,
                                                     std::vector<std::pair<String, String>>& out) const
{
    out.clear();
    return createParams ? createParams->GetStringsWithPrefix(prefix, out) : S_OK;
}

ControlLayout LControlDescriptor::GetLayout() const
{
    ControlLayout out;
    if (!layout) return out;
    const LLayoutDescriptor& l = *layout;
    out.clipToParent = l.clipToParent;
    out.zOrder = l.zOrder;
    out.tabStop = l.tabStop;
    out.isVisible = l.visible;
    out.isEnabled = l.enabled;
    out.xIsDocked = l.xDocked;
    out.yIsDocked = l.yDocked;
    out.position[0] = FromPosition(l.xPosition);
    out.position[1] = FromPosition(l.yPosition);
    out.anchor[0].factor = l.xPlacementAnchor;
    out.anchor[1].factor = l.yPlacementAnchor;
    out.size[0] = FromSize(l.xSize);
    out.size[1] = FromSize(l.ySize);
    out.limit[0] = FromLimit(l.xMaxSize);
    out.limit[1] = FromLimit(l.yMaxSize);
    out.minimum[0] = FromLimit(l.xMinSize);
    out.minimum[1] = FromLimit(l.yMinSize);
    out.textOverflow[0] = l.textOverflowX;
    out.textOverflow[1] = l.textOverflowY;
    return out;
}

uint32_t LControlDescriptor::GetLookCount() const
{
    return skin && skin->lookList ? skin->lookList->GetCount() : 0;
}

RCPtr<ILook> LControlDescriptor::CreateLook(uint32_t index) const
{
    if (!skin || !skin->lookList || index >= skin->lookList->GetCount()) return nullptr;
    const bool wrap = layout && layout->textOverflowX == LLayoutDescriptor::kOverflowWrap;
    return LLook::Create(*skin->lookList->GetItemPtr(index), wrap);
}

ControlTextProperties LControlDescriptor::GetTextProperties() const
{
    ControlTextProperties text;
    if (!skin) return text;
    text.face = skin->faceName;
    text.size = skin->fontSize;
    text.style = skin->fontStyle;
    text.followsParent = skin->fontInheritsFromParent;
    text.sizeIsRelative = skin->fontSizeIsRelative;
    return text;
}

RCPtr<IControlDescriptor> LControlDescriptor::GetChild(uint32_t index) const
{
    if (index >= children.size()) return nullptr;
    return children[index];
}

}  // namespace QV

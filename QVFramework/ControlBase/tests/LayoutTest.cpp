#include <gtest/gtest.h>

#include <map>
#include <string>

#include "LLayout.h"

namespace {

using namespace QV;

LayoutRecord Rec(int32_t kind, double offset, float factor = 0.0f, const char16_t* name = u"")
{
    return LayoutRecord{kind, String(name), factor, offset};
}

constexpr int32_t P = LayoutKind::kParent;
constexpr int32_t C = LayoutKind::kClient;
constexpr int32_t S = LayoutKind::kSelf;
constexpr int32_t N = LayoutKind::kSibling;

class Siblings : public ILayoutSiblings {
public:
    bool FindSibling(const String& name, LayoutSibling& sibling) const override
    {
        auto it = map.find(std::u16string(name.GetChars()));
        if (it == map.end()) return false;
        sibling = it->second;
        return true;
    }
    std::map<std::u16string, LayoutSibling> map;
};

// A parent 300 x 200 whose look's client area is (4, 6, 292, 188).
LayoutReferences ParentRefs(const Siblings* siblings)
{
    LayoutReferences refs;
    refs.parent[0] = {-4.0, 300.0};
    refs.parent[1] = {-6.0, 200.0};
    refs.client[0] = {0.0, 292.0};
    refs.client[1] = {0.0, 188.0};
    refs.siblings = siblings;
    return refs;
}

struct PositionCase {
    const char* what;
    LayoutRecord pos, size;
    float anchor;
    double x, width;
};

TEST(LayoutPosition, RulesOnTheXAxis)
{
    const PositionCase cases[] = {
        {"flush right in the client area, 18 wide", Rec(C, 0, 1.0f), Rec(S, 18), 1.0f, 274, 18},
        {"parent origin is the negated client offset", Rec(P, 0), Rec(S, 10), 0.0f, -4, 10},
        {"parent factor and offset", Rec(P, 5, 0.5f), Rec(S, 10), 0.0f, 151, 10},
        {"factor times size 2.5 rounds to 3", Rec(N, 0, 0.5f, u"five"), Rec(S, 1), 0.0f, 3, 1},
        {"factor times size -2.5 rounds to -3", Rec(N, 0, -0.5f, u"five"), Rec(S, 1), 0.0f, -3, 1},
        {"self with a negative size is empty", Rec(C, 7), Rec(S, -5), 0.0f, 7, 0},
        {"snapped by edges: 0.4 + 10.4", Rec(C, 0.4), Rec(S, 10.4), 0.0f, 0, 11},
        {"to the client's right edge", Rec(C, 10), Rec(C, 0, 1.0f), 0.0f, 10, 282},
        {"centred on the middle, reaching both edges", Rec(C, 0, 0.5f), Rec(C, 0, 1.0f), 0.5f, 0, 292},
        {"edge before the position with anchor 0 is empty", Rec(C, 100), Rec(C, 50), 0.0f, 100, 0},
        {"edge after the position with anchor 1 is empty", Rec(C, 100), Rec(C, 150), 1.0f, 100, 0},
        {"beside a named sibling", Rec(N, 2, 1.0f, u"left"), Rec(N, -2, 0.0f, u"right"), 0.0f, 42, 18},
        {"missing sibling leaves the offsets", Rec(N, 9, 1.0f, u"nobody"), Rec(N, 30, 1.0f, u"nobody"), 0.0f, 9, 21},
    };
    Siblings siblings;
    siblings.map[u"left"] = {{10, 0, 30, 5}};
    siblings.map[u"right"] = {{62, 0, 20, 5}};
    siblings.map[u"five"] = {{0, 0, 5, 5}};
    const LayoutReferences refs = ParentRefs(&siblings);
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        ControlLayout layout;
        layout.position[0] = c.pos;
        layout.size[0] = c.size;
        layout.anchor[0].factor = c.anchor;
        layout.size[1] = Rec(S, 1);
        DoubleRect frame;
        ASSERT_EQ(LLayout::ResolvePosition(&layout, refs, frame), S_OK);
        EXPECT_DOUBLE_EQ(frame.x, c.x);
        EXPECT_DOUBLE_EQ(frame.width, c.width);
    }
}

TEST(LayoutPosition, ScrollBarReachesTheCornerFromTheBottom)
{
    Siblings siblings;
    siblings.map[u"corner"] = {{276, 172, 16, 16}};
    ControlLayout layout;
    layout.position[0] = Rec(C, 0, 1.0f);
    layout.anchor[0].factor = 1.0f;
    layout.size[0] = Rec(S, 16);
    layout.position[1] = Rec(C, 0, 1.0f);
    layout.anchor[1].factor = 1.0f;
    layout.size[1] = Rec(N, 0, 0.0f, u"corner");
    DoubleRect frame;
    ASSERT_EQ(LLayout::ResolvePosition(&layout, ParentRefs(&siblings), frame), S_OK);
    EXPECT_DOUBLE_EQ(frame.y, 172);
    EXPECT_DOUBLE_EQ(frame.height, 16);  // client height less the corner's y
    EXPECT_DOUBLE_EQ(frame.x, 276);
}

TEST(LayoutPosition, DockedChildKeepsItsVisiblePlaceAndDockedSiblingsAreSeenUnscrolled)
{
    Siblings siblings;
    ControlLayout layout;
    layout.position[1] = Rec(C, 12);
    layout.size[1] = Rec(N, 0, 0.0f, u"bar");
    layout.yIsDocked = true;
    for (double scroll : {0.0, 35.0, 400.0}) {
        SCOPED_TRACE(scroll);
        siblings.map[u"bar"] = {{0, 100 + scroll, 10, 10}, {false, true}};
        LayoutReferences refs = ParentRefs(&siblings);
        refs.parentScroll = {0.0, scroll};
        DoubleRect frame;
        ASSERT_EQ(LLayout::ResolvePosition(&layout, refs, frame), S_OK);
        EXPECT_DOUBLE_EQ(frame.y - scroll, 12);
        EXPECT_DOUBLE_EQ(frame.height, 88);
    }
}

TEST(LayoutPosition, NoRecordIsRefusedAndLeavesTheFrame)
{
    DoubleRect frame{1, 2, 3, 4};
    EXPECT_EQ(LLayout::ResolvePosition(nullptr, ParentRefs(nullptr), frame), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(frame.x, 1);
    EXPECT_DOUBLE_EQ(frame.height, 4);
}

// Children of a control at (p, size) whose look's client area starts at (4, 4).
LayoutContent WithChildren(std::initializer_list<LayoutChild> children, double margin = 8.0)
{
    LayoutContent content;
    content.children = children;
    content.clientOffset = {4.0, 4.0};
    content.hasLook = true;
    content.currentSize = {100.0, 100.0};
    content.clientSize = {100.0 - margin, 100.0 - margin};
    return content;
}

struct LimitCase {
    const char* what;
    LayoutRecord limit;
    float anchor;
    double p, size;
    QVResult result;
    double newP, newSize;
};

void RunMinimumCases(const LimitCase* begin, const LimitCase* end, const LayoutContent& content)
{
    for (const LimitCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->what);
        ControlLayout layout;
        layout.minimum[0] = c->limit;
        layout.anchor[0].factor = c->anchor;
        DoublePoint pos{c->p, 0}, size{c->size, 50};
        EXPECT_EQ(LLayout::ResolveSizeFromContent(layout, content, pos, size), c->result);
        EXPECT_DOUBLE_EQ(pos.x, c->newP);
        EXPECT_DOUBLE_EQ(size.x, c->newSize);
        EXPECT_DOUBLE_EQ(size.y, 50);
    }
}

TEST(LayoutMinimum, SelfAndChildRelative)
{
    // The child "a" spans 0..60 of the client area: 14..74 for a control at 10.
    const LayoutContent content = WithChildren({{u"a", {0, 0, 60, 20}}, {u"b", {70, 0, 30, 20}}}, 0.0);
    const LimitCase cases[] = {
        {"self minimum grows, anchor 1 keeps the right edge", Rec(S, 30), 1.0f, 10, 20, 1, 0, 30},
        {"self minimum already met", Rec(S, 30), 0.0f, 10, 40, 0, 10, 40},
        {"child edge beyond the control, anchor 0", Rec(N, 0, 1.0f, u"a"), 0.0f, 10, 20, 1, 10, 64},
        {"child edge beyond the control, anchor 0.5", Rec(N, 0, 1.0f, u"a"), 0.5f, 10, 20, 1, -34, 108},
        {"child edge beyond the control, anchor 1 fails", Rec(N, 0, 1.0f, u"a"), 1.0f, 10, 20, E_FAIL, 10, 20},
        {"edge before the control, anchor 1", Rec(N, -10, 0.0f, u"a"), 1.0f, 10, 20, 1, 4, 26},
        {"edge before the control, anchor 0 fails", Rec(N, -10, 0.0f, u"a"), 0.0f, 10, 20, E_FAIL, 10, 20},
        {"missing child changes nothing", Rec(N, 0, 1.0f, u"zz"), 0.0f, 10, 20, 0, 10, 20},
    };
    RunMinimumCases(std::begin(cases), std::end(cases), content);

    // As a control hands its children over: no names in the list, a lookup by name beside it.
    Siblings named;
    named.map[u"a"] = {{0, 0, 60, 20}};
    named.map[u"b"] = {{70, 0, 30, 20}};
    LayoutContent byLookup = WithChildren({{{}, {0, 0, 60, 20}}, {{}, {70, 0, 30, 20}}}, 0.0);
    byLookup.named = &named;
    RunMinimumCases(std::begin(cases), std::end(cases), byLookup);
}

TEST(LayoutMinimum, ChildrenUnionSkipsUnclippedLaterChildrenAndAddsTheLookMarginOnce)
{
    LayoutChild popup{u"popup", {0, 0, 500, 20}};
    popup.clipToParent = false;
    const LayoutContent content = WithChildren({{u"a", {0, 0, 60, 20}}, {u"b", {70, 0, 30, 20}}, popup});
    const LimitCase cases[] = {
        // Children span 14..114 for a control at 10; the look's frame is 8.
        {"children need more", Rec(N, 0, 1.0f, u"Children"), 0.0f, 10, 20, 1, 10, 112},
        {"children already fit, the margin still comes", Rec(N, 0, 1.0f, u"Children"), 0.0f, 10, 200, 1, 10, 208},
        {"margin also after an anchor failure", Rec(N, 0, 1.0f, u"Children"), 1.0f, 10, 20, E_FAIL, 10, 28},
    };
    RunMinimumCases(std::begin(cases), std::end(cases), content);

    ControlLayout both;
    both.minimum[0] = Rec(N, 0, 1.0f, u"Children");
    both.minimum[1] = Rec(N, 0, 1.0f, u"Children");
    DoublePoint pos{0, 0}, size{500, 500};
    EXPECT_EQ(LLayout::ResolveSizeFromContent(both, content, pos, size), 1);
    EXPECT_DOUBLE_EQ(size.x, 508);  // once per axis, not once per pass
    EXPECT_DOUBLE_EQ(size.y, 508);
}

TEST(LayoutMinimum, YAxisOutcomeWinsWhenItChangesOrFails)
{
    const LayoutContent content = WithChildren({{u"a", {0, 0, 60, 60}}}, 0.0);
    struct Row {
        const char* what;
        float xAnchor, yAnchor;
        double ySize;
        QVResult result;
    } rows[] = {
        {"x fails, y changes", 1.0f, 0.0f, 20, 1},
        {"x fails, y unchanged", 1.0f, 0.0f, 200, E_FAIL},
        {"x changes, y fails", 0.0f, 1.0f, 20, E_FAIL},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ControlLayout layout;
        layout.minimum[0] = Rec(N, 0, 1.0f, u"a");
        layout.minimum[1] = Rec(N, 0, 1.0f, u"a");
        layout.anchor[0].factor = r.xAnchor;
        layout.anchor[1].factor = r.yAnchor;
        DoublePoint pos{10, 10}, size{20, r.ySize};
        EXPECT_EQ(LLayout::ResolveSizeFromContent(layout, content, pos, size), r.result);
    }
}

// Label text whose widest line and height are given; the text area is the
// control less 10 on each side (factor span 1).
class FakeText : public ILayoutText {
public:
    bool HasLayoutText() const override { return hasText; }
    void SetLayoutWordWrap(bool on) override { wrap = on; }
    double GetLayoutMaxLineWidth() override { return lineWidth; }
    double GetLayoutTextHeight() override { return height; }
    DoubleRect GetLayoutTextRect(double w, double h) const override { return {10, 10, w - 20, h - 20}; }
    double GetLayoutTextFactorSpan(int) const override { return span; }

    bool hasText = true;
    bool wrap = true;
    double lineWidth = 0;
    double height = 0;
    double span = 1.0;
};

TEST(LayoutMinimum, ExpandingTextWidensUntilTheMaximumThenWraps)
{
    struct Row {
        const char* what;
        double lineWidth, maximum;
        double span;
        double width;
        bool wrap;
    } rows[] = {
        {"text fits", 50.4, 0, 1.0, 100, false},
        {"wider text widens the label", 130.2, 0, 1.0, 151, false},
        {"a text area half as wide grows at half the pace", 130.2, 0, 0.5, 202, false},
        {"up to the maximum, then wraps", 130.2, 120, 1.0, 120, true},
        {"a text area that does not grow leaves the width", 130.2, 0, 0.0, 100, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        FakeText text;
        text.lineWidth = r.lineWidth;
        text.span = r.span;
        LayoutContent content;
        content.text = &text;
        ControlLayout layout;
        layout.textOverflow[0] = 1;
        layout.minimum[0] = Rec(S, 0);
        layout.limit[0] = Rec(S, r.maximum);
        DoublePoint pos{0, 0}, size{100, 40};
        EXPECT_GE(LLayout::ResolveSizeFromContent(layout, content, pos, size), 0);
        EXPECT_DOUBLE_EQ(size.x, r.width);
        EXPECT_EQ(text.wrap, r.wrap);
    }
}

TEST(LayoutMinimum, TheExpandCapNeedsALookWithText)
{
    for (const bool hasText : {true, false}) {
        SCOPED_TRACE(hasText ? "look with text properties" : "look without text properties");
        FakeText text;
        text.hasText = hasText;
        text.wrap = false;
        LayoutContent content;
        content.text = &text;
        ControlLayout layout;
        layout.textOverflow[0] = 1;
        layout.minimum[0] = Rec(S, 150);
        layout.limit[0] = Rec(S, 120);
        DoublePoint pos{0, 0}, size{100, 40};
        EXPECT_GE(LLayout::ResolveSizeFromContent(layout, content, pos, size), 0);
        EXPECT_DOUBLE_EQ(size.x, hasText ? 120 : 150);
        EXPECT_EQ(text.wrap, hasText);
    }
}

TEST(LayoutMinimum, ExpandingTextGrowsTheHeightAndClipChangesNothing)
{
    FakeText text;
    text.height = 45.5;
    LayoutContent content;
    content.text = &text;
    ControlLayout layout;
    layout.textOverflow[1] = 1;
    layout.anchor[1].factor = 1.0f;
    DoublePoint pos{0, 100}, size{100, 40};
    EXPECT_EQ(LLayout::ResolveSizeFromContent(layout, content, pos, size), 1);
    EXPECT_DOUBLE_EQ(size.y, 66);  // 40 + ceil(45.5 - 20)
    EXPECT_DOUBLE_EQ(pos.y, 74);

    layout.textOverflow[1] = 0;
    size = {100, 40};
    EXPECT_EQ(LLayout::ResolveSizeFromContent(layout, content, pos, size), 0);
}

void RunMaximumCases(const LimitCase* begin, const LimitCase* end, const LayoutContent& content)
{
    for (const LimitCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->what);
        ControlLayout layout;
        layout.limit[0] = c->limit;
        layout.anchor[0].factor = c->anchor;
        DoublePoint pos{c->p, 0}, size{c->size, 50};
        EXPECT_EQ(LLayout::ResolveSize(layout, content, pos, size), c->result);
        EXPECT_DOUBLE_EQ(pos.x, c->newP);
        EXPECT_DOUBLE_EQ(size.x, c->newSize);
    }
}

TEST(LayoutMaximum, SelfAndChildRelative)
{
    // Child "edge" is 50 wide at the client's origin: for a control at 50 it
    // spans 50..100 (no client offset, no margin).
    LayoutContent content = WithChildren({{u"edge", {0, 0, 50, 10}}}, 0.0);
    content.clientOffset = {0, 0};
    const LimitCase cases[] = {
        {"self maximum of 0 means none", Rec(S, 0), 0.0f, 0, 500, 0, 0, 500},
        {"self maximum, anchor 0.5", Rec(S, 40), 0.5f, 0, 60, 1, 10, 40},
        {"edge 100, anchor 0", Rec(N, 0, 1.0f, u"edge"), 0.0f, 50, 80, 1, 50, 50},
        {"edge 100, anchor 1", Rec(N, 0, 1.0f, u"edge"), 1.0f, 50, 80, 1, 80, 20},
        {"control inside the edge is not cut", Rec(N, 0, 1.0f, u"edge"), 0.0f, 50, 40, 0, 50, 40},
        {"edge in the control's first half, anchor 1, never negative", Rec(N, -40, 1.0f, u"edge"), 1.0f, 50, 80, 1, 120,
         0},
    };
    RunMaximumCases(std::begin(cases), std::end(cases), content);
}

TEST(LayoutMaximum, EdgesBelowTheAnchorValue)
{
    // At p = -10 the child "edge" (x 10, 0.5 wide) puts the edge at 0.5.
    LayoutContent content = WithChildren({{u"edge", {10, 0, 0.5, 10}}}, 0.0);
    content.clientOffset = {0, 0};
    const LimitCase cases[] = {
        {"anchor 1 keeps the far edge", Rec(N, 0, 1.0f, u"edge"), 1.0f, -10, 20, 1, 1, 9},
        {"edge equal to the anchor", Rec(N, 0.5, 1.0f, u"edge"), 1.0f, -10, 20, 1, 1, 0},
        {"anchor 0 below a negative edge keeps the size", Rec(N, -5.5, 1.0f, u"edge"), 0.0f, -10, 20, 1, -5, 20},
    };
    RunMaximumCases(std::begin(cases), std::end(cases), content);
}

TEST(LayoutMaximum, ChildrenCountAllButADockedFirstChildStopsTheAxis)
{
    LayoutChild popup{u"popup", {0, 0, 30, 10}};
    popup.clipToParent = false;
    LayoutContent content = WithChildren({{u"a", {0, 0, 10, 10}}, popup});
    ControlLayout layout;
    layout.limit[0] = Rec(N, 0, 1.0f, u"Children");
    DoublePoint pos{0, 0}, size{100, 50};
    EXPECT_EQ(LLayout::ResolveSize(layout, content, pos, size), 1);
    EXPECT_DOUBLE_EQ(size.x, 42);  // 4 + 30, then the margin of 8

    content.children[0].docked[0] = content.children[0].docked[1] = true;
    size = {100, 50};
    EXPECT_EQ(LLayout::ResolveSize(layout, content, pos, size), 0);
    EXPECT_DOUBLE_EQ(size.x, 100);
}

}  // namespace

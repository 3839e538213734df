#include "SkinReader.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "Exception.h"

namespace QV {
namespace {

// Enough for any skin; keeps a broken count from reserving gigabytes.
constexpr int32_t kMaxLooksInList = 0xFFFF;

String Quoted(const String& text)
{
    return String(u"\"") + text + String(u"\"");
}

// "Parent"/"Screen" 0, "Client"/"Active Window" 1, then selfValue for
// "Self" when the rule has it, else the named control.
void ReadReference(const String& text, int32_t& reference, String& name, int32_t namedValue, bool hasSelf)
{
    if (text == u"Parent" || text == u"Screen") {
        reference = 0;
    } else if (text == u"Client" || text == u"Active Window") {
        reference = 1;
    } else if (hasSelf && text == u"Self") {
        reference = 2;
    } else {
        reference = namedValue;
        name = text;
    }
}

}  // namespace

SkinReader::Handler SkinReader::FindHandler(const String& element)
{
    static const std::map<std::u16string, Handler> kHandlers = {
        {u"Application", &SkinReader::Application},
        {u"Colorizer", &SkinReader::Colorizer},
        {u"Part", &SkinReader::Part},
        {u"Looks", &SkinReader::Looks},
        {u"Look", &SkinReader::Look},
        {u"ClientPart", &SkinReader::ClientPart},
        {u"TextProperties", &SkinReader::TextProperties},
        {u"NonClientPart", &SkinReader::NonClientPart},
        {u"LookLists", &SkinReader::LookLists},
        {u"LookList", &SkinReader::LookList},
        {u"Skin", &SkinReader::Skin},
        {u"FontLocale", &SkinReader::FontLocale},
        {u"FontXLat", &SkinReader::FontXLat},
        {u"SubControl", &SkinReader::SubControl},
        {u"CreateParamList", &SkinReader::CreateParamList},
        {u"CreateParam", &SkinReader::CreateParam},
    };
    auto it = kHandlers.find(std::u16string(element.GetChars(), static_cast<size_t>(element.GetLength())));
    return it == kHandlers.end() ? nullptr : it->second;
}

void SkinReader::StartElement(const String& name, const XmlAttributes& attributes, int32_t line)
{
    // The root element, whatever its name, is not read.
    if (mSkipNext) {
        mSkipNext = false;
        return;
    }
    if (Handler handler = FindHandler(name)) {
        mElement = name;
        mLine = line;
        (this->*handler)(attributes);
    }
}

void SkinReader::EndElement(const String& name)
{
    if (name == u"SubControl") {
        if (!mCurrent) return;
        std::stable_sort(mCurrent->children.begin(), mCurrent->children.end(),
                         [](const auto& a, const auto& b) { return a->layout->layoutOrder < b->layout->layoutOrder; });
        mCurrent = mCurrent->parent;
    } else if (name == u"Skin") {
        if (mCurrent && mCurrent == mStore.GetCurrentRoot()) mCurrent = nullptr;
    } else if (name == u"CreateParamList") {
        if (mCurrent) mCurrent->createParams = mCurrentParams;
    } else if (name == u"CreateParam") {
        mInsideCreateParam = false;
    } else if (name == u"Looks") {
        mInsideLooks = false;
    }
}

void SkinReader::CharacterData(const String& text)
{
    if (!mInsideCreateParam || !mCurrentParams) return;
    // The parser may split one text (around an entity, say): the pieces of
    // one parameter are joined, a new parameter element starts afresh.
    String value;
    if (mCreateParamHasText) mCurrentParams->GetString(mCreateParamId, value);
    (void)mCurrentParams->SetString(mCreateParamId, value + text);  // a parameter without an id is dropped
    mCreateParamHasText = true;
}

void SkinReader::Problem(const String& text)
{
    if (!mFirstProblem) mFirstProblem = XmlParseError{text, mLine, mElement};
}

bool SkinReader::Require(const XmlAttributes& a, std::initializer_list<const char16_t*> names)
{
    for (const char16_t* name : names) {
        if (!a.Has(name)) {
            Problem(String(u"missing required attribute ") + Quoted(String(name)));
            return false;
        }
    }
    return true;
}

RCPtr<LVisualPartDescriptor> SkinReader::FindPart(const String& name)
{
    auto it = mStore.parts.find(name);
    if (it != mStore.parts.end()) return it->second;
    Problem(String(u"unknown part ") + Quoted(name));
    return nullptr;
}

bool SkinReader::HasCurrentLook()
{
    if (mCurrentLook) return true;
    Problem(String(u"no named Look before it"));
    return false;
}

void SkinReader::Application(const XmlAttributes& a)
{
    mStore.applicationName = a.Get(u"Name").value_or(String());
}

void SkinReader::Colorizer(const XmlAttributes& a)
{
    if (!Require(a, {u"Name", u"ColorType", u"Color"})) return;
    const String name = *a.Get(u"Name");
    int32_t mode = LColorizer::kSolid;
    LColor color, endColor;
    LGradientLine line;
    color.SetFromHexString(a.Get(u"Color")->ToUtf8().c_str());
    const String type = *a.Get(u"ColorType");
    if (type == u"LinearGradient" || type == u"RadialGradient") {
        const auto end = a.Get(u"GradientEndColor");
        const auto startX = a.GetFloat(u"GradientStartX");
        const auto startY = a.GetFloat(u"GradientStartY");
        const auto endX = a.GetFloat(u"GradientEndX");
        const auto endY = a.GetFloat(u"GradientEndY");
        if (end && startX && startY && endX && endY) {
            mode = type == u"LinearGradient" ? LColorizer::kLinearGradient : LColorizer::kRadialGradient;
            endColor.SetFromHexString(end->ToUtf8().c_str());
            line = {*startX, *startY, *endX, *endY};
        }
    }
    mStore.colorizers.emplace(name, RCPtr<LColorizer>(new LColorizer(mode, color, endColor, name, line)));
}

void SkinReader::Part(const XmlAttributes& a)
{
    if (!Require(a, {u"Name", u"Width", u"Height", u"ResizeType"})) return;
    RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor);
    part->name = *a.Get(u"Name");
    part->width = *a.GetInt(u"Width");
    part->height = *a.GetInt(u"Height");
    const String resize = *a.Get(u"ResizeType");
    part->resizeType = resize == u"Tile"     ? LVisualPartDescriptor::kTile
                       : resize == u"Center" ? LVisualPartDescriptor::kCenter
                                             : LVisualPartDescriptor::kStretch;
    const auto imageFile = a.Get(u"ImageFile");
    const auto imageX = a.GetInt(u"ImageLocX");
    const auto imageY = a.GetInt(u"ImageLocY");
    if (imageFile && !imageFile->IsEmpty() && imageX && imageY) {
        part->image = {mStore.imageFolderPrefix + imageFile->ToLower(), *imageX, *imageY, part->width, part->height};
    }
    if (const auto name = a.Get(u"ColorizerName")) {
        auto it = mStore.colorizers.find(*name);
        if (it != mStore.colorizers.end()) {
            part->colorizer = it->second;
        } else {
            Problem(String(u"unknown colouriser ") + Quoted(*name));
        }
    }
    if (part->image.path.IsEmpty() && !part->colorizer) {
        Problem(String(u"a part needs an image or a colouriser"));
        return;
    }
    part->colorizerAmount = a.GetFloat(u"ColorizerAlphaMod").value_or(1.0f);
    const auto maskFile = a.Get(u"ColorizerMaskFile");
    const auto maskX = a.GetInt(u"MaskLocX");
    const auto maskY = a.GetInt(u"MaskLocY");
    if (maskFile && maskX && maskY) {
        part->mask = {mStore.imageFolderPrefix + *maskFile, *maskX, *maskY, part->width, part->height};
    }
    mStore.parts.emplace(part->name, part);
}

void SkinReader::Looks(const XmlAttributes&)
{
    mInsideLooks = true;
}

void SkinReader::Look(const XmlAttributes& a)
{
    if (mInsideLooks) {
        const auto name = a.Get(u"Name");
        if (!name) return;
        // A second definition of a name is read but not kept.
        mCurrentLook = RCPtr<LLookDescriptor>(new LLookDescriptor);
        mCurrentLook->name = *name;
        mStore.looks.emplace(*name, mCurrentLook);
        return;
    }
    if (!mCurrentLookList) return;
    if (!Require(a, {u"Name", u"Index"})) return;
    const String name = *a.Get(u"Name");
    auto look = mStore.looks.find(name);
    if (look == mStore.looks.end()) return Problem(String(u"unknown look ") + Quoted(name));
    const int32_t index = *a.GetDecimalInt(u"Index");
    if (index < 0 || static_cast<uint32_t>(index) >= mCurrentLookList->GetCount()) {
        return Problem(String(u"look index outside its list"));
    }
    *mCurrentLookList->GetItemPtr(static_cast<uint32_t>(index)) = look->second;
}

void SkinReader::ClientPart(const XmlAttributes& a)
{
    if (!Require(a, {u"Name", u"OffsetLeft", u"OffsetTop", u"OffsetRight", u"OffsetBottom"})) return;
    if (!HasCurrentLook()) return;
    RCPtr<LVisualPartDescriptor> part = FindPart(*a.Get(u"Name"));
    if (!part) return;
    RCPtr<LDockedPart> docked(new LDockedPart);
    docked->part = part;
    docked->edgeMask = LDockedPart::kAllEdges;
    docked->left = *a.GetInt(u"OffsetLeft");
    docked->top = *a.GetInt(u"OffsetTop");
    docked->right = *a.GetInt(u"OffsetRight");
    docked->bottom = *a.GetInt(u"OffsetBottom");
    mCurrentLook->clientPart = docked;
}

void SkinReader::TextProperties(const XmlAttributes& a)
{
    if (!Require(a, {u"TextLeftRel", u"TextLeftAbs", u"TextRightRel", u"TextRightAbs", u"TextHAlign", u"TextTopRel",
                     u"TextTopAbs", u"TextBottomRel", u"TextBottomAbs", u"TextVAlign", u"TextForegroundPart"})) {
        return;
    }
    if (!HasCurrentLook()) return;
    RCPtr<LVisualPartDescriptor> part = FindPart(*a.Get(u"TextForegroundPart"));
    if (!part) return;
    LLookDescriptor& look = *mCurrentLook;
    look.textLeftFactor = *a.GetFloat(u"TextLeftRel");
    look.textLeftOffset = *a.GetInt(u"TextLeftAbs");
    look.textRightFactor = *a.GetFloat(u"TextRightRel");
    look.textRightOffset = *a.GetInt(u"TextRightAbs");
    look.horizontalAlignment = *a.GetFloat(u"TextHAlign");
    look.textTopFactor = *a.GetFloat(u"TextTopRel");
    look.textTopOffset = *a.GetInt(u"TextTopAbs");
    look.textBottomFactor = *a.GetFloat(u"TextBottomRel");
    look.textBottomOffset = *a.GetInt(u"TextBottomAbs");
    look.verticalAlignment = *a.GetFloat(u"TextVAlign");
    look.textForegroundPart = part;
    look.hasTextProperties = true;
}

void SkinReader::NonClientPart(const XmlAttributes& a)
{
    if (!Require(a, {u"Name"})) return;
    if (!HasCurrentLook()) return;
    RCPtr<LVisualPartDescriptor> part = FindPart(*a.Get(u"Name"));
    if (!part) return;
    RCPtr<LDockedPart> docked(new LDockedPart);
    docked->part = part;
    const struct {
        const char16_t* name;
        int32_t bit;
        int32_t LDockedPart::*offset;
    } kEdges[] = {{u"OffsetLeft", LDockedPart::kLeft, &LDockedPart::left},
                  {u"OffsetTop", LDockedPart::kTop, &LDockedPart::top},
                  {u"OffsetRight", LDockedPart::kRight, &LDockedPart::right},
                  {u"OffsetBottom", LDockedPart::kBottom, &LDockedPart::bottom}};
    for (const auto& edge : kEdges) {
        if (const auto value = a.GetInt(edge.name)) {
            docked->edgeMask |= edge.bit;
            (*docked).*edge.offset = *value;
        }
    }
    const int32_t width = a.GetInt(u"Width").value_or(0);
    const int32_t height = a.GetInt(u"Height").value_or(0);
    docked->hasFixedWidth = width > 0;
    docked->fixedWidth = width > 0 ? width : 0;
    docked->hasFixedHeight = height > 0;
    docked->fixedHeight = height > 0 ? height : 0;
    mCurrentLook->nonClientParts.push_back(docked);
}

void SkinReader::LookLists(const XmlAttributes&)
{
    mCurrent = nullptr;
}

void SkinReader::LookList(const XmlAttributes& a)
{
    if (!Require(a, {u"Name", u"NumLooks"})) return;
    const String name = *a.Get(u"Name");
    auto it = mStore.lookLists.find(name);
    if (it == mStore.lookLists.end()) {
        const int32_t count = *a.GetInt(u"NumLooks");
        if (count < 0 || count > kMaxLooksInList) return Problem(String(u"NumLooks outside 0..65535"));
        mCurrentLookList = RCPtr<LLookList>(new LLookList(static_cast<uint32_t>(count)));
        it = mStore.lookLists.emplace(name, mCurrentLookList).first;
    } else {
        mCurrentLookList = nullptr;
    }
    if (mCurrent && mCurrent->skin) mCurrent->skin->lookList = it->second;
}

void SkinReader::Skin(const XmlAttributes& a)
{
    if (mCurrent) {
        NestedSkin(a);
    } else {
        TopLevelSkin(a);
    }
}

void SkinReader::TopLevelSkin(const XmlAttributes& a)
{
    RCPtr<LSkinDescriptor> skin(new LSkinDescriptor);
    skin->name = a.Get(u"Name").value_or(String());
    skin->faceName = a.Get(u"FontName").value_or(String());
    skin->fontSize = a.GetFloat(u"FontSize").value_or(0.0f);
    skin->fontStyle = a.GetInt(u"FontStyle").value_or(-1);
    RCPtr<LControlDescriptor> root(new LControlDescriptor);
    root->className = String(u"Application");
    root->name = mStore.applicationName;
    root->skin = skin;
    mStore.skins.push_back(root);
    mStore.currentSkinIndex = static_cast<int32_t>(mStore.skins.size() - 1);
    mStore.fontTranslations.clear();
    mCurrent = root.Get();
}

void SkinReader::NestedSkin(const XmlAttributes& a)
{
    RCPtr<LSkinDescriptor> skin(new LSkinDescriptor);
    skin->name = a.Get(u"Name").value_or(String());
    skin->fontInheritsFromParent = mFont.inheritsFromParent;
    skin->fontSizeIsRelative = mFont.sizeIsRelative;
    auto translated = mStore.fontTranslations.find(mFont.faceName);
    skin->faceName = translated == mStore.fontTranslations.end() ? mFont.faceName : translated->second;
    skin->fontSize = mFont.size;
    skin->fontStyle = mFont.style;
    if (const auto listName = a.Get(u"LookList")) {
        auto it = mStore.lookLists.find(*listName);
        if (it != mStore.lookLists.end()) {
            skin->lookList = it->second;
        } else {
            Problem(String(u"unknown look list ") + Quoted(*listName));
        }
    }
    mCurrent->skin = skin;
}

void SkinReader::FontLocale(const XmlAttributes& a)
{
    mStore.fontLocaleId = a.GetInt(u"LCID").value_or(0);
}

void SkinReader::FontXLat(const XmlAttributes& a)
{
    if (mStore.fontLocaleId != mStore.languageId) return;
    const auto name = a.Get(u"Name");
    const auto translation = a.Get(u"XLat");
    if (!name || !translation) return;
    mStore.fontTranslations.emplace(*name, *translation);
    LControlDescriptor* root = mStore.GetCurrentRoot();
    if (root && root->skin && root->skin->faceName == *name) root->skin->faceName = *translation;
}

void SkinReader::SubControl(const XmlAttributes& a)
{
    const auto className = a.Get(u"Class");
    const auto name = a.Get(u"Name");
    if (!className || !name) {
        throw Exception<std::runtime_error>(
            "Runtime Error : Bad Subcontrol Element : QV::LControlFactory::XMLStartElement : "
            "ControlBase\\ControlFactory : Line 1089");
    }
    if (!mCurrent) return Problem(String(u"SubControl outside a Skin"));
    RCPtr<LControlDescriptor> descriptor(new LControlDescriptor);
    descriptor->className = *className;
    descriptor->name = *name;
    descriptor->parent = mCurrent;
    descriptor->sourceDocument = mDocumentName;
    descriptor->sourceLine = mLine;
    descriptor->layout = RCPtr<LLayoutDescriptor>(new LLayoutDescriptor);
    ReadLayout(a, *descriptor->layout, mCurrent->className == u"Application");
    mCurrent->children.push_back(descriptor);
    mCurrent = descriptor.Get();
    ReadFont(a);
}

void SkinReader::ReadLayout(const XmlAttributes& a, LLayoutDescriptor& layout, bool topLevel)
{
    if (auto v = a.GetBool(u"ClipToParent")) layout.clipToParent = *v;
    if (auto v = a.GetDecimalInt(u"Z_Order")) layout.zOrder = *v;
    if (auto v = a.GetInt(u"LayoutOrder")) layout.layoutOrder = *v;
    // A top-level control is always a tab stop 0 and starts visible.
    if (!topLevel) {
        if (auto v = a.GetDecimalInt(u"TabStop")) layout.tabStop = *v;
        if (auto v = a.GetBool(u"IsVisible")) layout.visible = *v;
    }
    if (auto v = a.GetFloat(u"XPlacementAnchor")) layout.xPlacementAnchor = *v;
    if (auto v = a.GetFloat(u"YPlacementAnchor")) layout.yPlacementAnchor = *v;
    if (auto v = a.GetBool(u"XIsDocked")) layout.xDocked = *v;
    if (auto v = a.GetBool(u"YIsDocked")) layout.yDocked = *v;

    // The attribute names are spelt out whole: joining them for each element
    // cost more than the rest of the element's reading.
    const struct {
        const char16_t* toControl;
        const char16_t* rel;
        const char16_t* abs;
        LPositionRule LLayoutDescriptor::*rule;
    } kPositions[] = {{u"XPositionToControl", u"XPositionRel", u"XPositionAbs", &LLayoutDescriptor::xPosition},
                      {u"YPositionToControl", u"YPositionRel", u"YPositionAbs", &LLayoutDescriptor::yPosition}};
    for (const auto& p : kPositions) {
        LPositionRule& rule = layout.*p.rule;
        if (auto v = a.Get(p.toControl))
            ReadReference(*v, rule.reference, rule.referenceName, LPositionRule::kNamed, false);
        if (auto v = a.GetFloat(p.rel)) rule.factor = *v;
        if (auto v = a.GetDecimalInt(p.abs)) rule.offset = *v;
    }
    const struct {
        const char16_t* toControl;
        const char16_t* rel;
        const char16_t* abs;
        LSizeRule LLayoutDescriptor::*rule;
    } kSizes[] = {{u"XSizeToControl", u"XSizeRel", u"XSizeAbs", &LLayoutDescriptor::xSize},
                  {u"YSizeToControl", u"YSizeRel", u"YSizeAbs", &LLayoutDescriptor::ySize}};
    for (const auto& s : kSizes) {
        LSizeRule& rule = layout.*s.rule;
        if (auto v = a.Get(s.toControl)) ReadReference(*v, rule.reference, rule.referenceName, LSizeRule::kNamed, true);
        if (auto v = a.GetFloat(s.rel)) rule.factor = *v;
        if (auto v = a.GetDecimalInt(s.abs)) rule.offset = *v;
    }
    const struct {
        const char16_t* toControl;
        const char16_t* rel;
        const char16_t* abs;
        LLimitRule LLayoutDescriptor::*rule;
    } kLimits[] = {{u"XMinSizeToControl", u"XMinSizeRel", u"XMinSizeAbs", &LLayoutDescriptor::xMinSize},
                   {u"YMinSizeToControl", u"YMinSizeRel", u"YMinSizeAbs", &LLayoutDescriptor::yMinSize},
                   {u"XMaxSizeToControl", u"XMaxSizeRel", u"XMaxSizeAbs", &LLayoutDescriptor::xMaxSize},
                   {u"YMaxSizeToControl", u"YMaxSizeRel", u"YMaxSizeAbs", &LLayoutDescriptor::yMaxSize}};
    for (const auto& l : kLimits) {
        LLimitRule& rule = layout.*l.rule;
        if (auto v = a.Get(l.toControl)) {
            rule.hasReference = !(*v == u"Self");
            rule.referenceName = rule.hasReference ? *v : String();
        }
        if (auto v = a.GetFloat(l.rel)) rule.factor = *v;
        if (auto v = a.GetDecimalInt(l.abs)) rule.offset = *v;
    }
    if (auto v = a.Get(u"TextDecoration")) layout.textDecoration = *v;
    if (auto v = a.Get(u"TextOverflowXType")) {
        if (*v == u"Clip") layout.textOverflowX = LLayoutDescriptor::kOverflowClip;
        if (*v == u"Expand") layout.textOverflowX = LLayoutDescriptor::kOverflowExpand;
        if (*v == u"Wrap") layout.textOverflowX = LLayoutDescriptor::kOverflowWrap;
    }
    if (auto v = a.Get(u"TextOverflowYType")) {
        if (*v == u"Clip") layout.textOverflowY = LLayoutDescriptor::kOverflowClip;
        if (*v == u"Expand") layout.textOverflowY = LLayoutDescriptor::kOverflowExpand;
    }
}

void SkinReader::ReadFont(const XmlAttributes& a)
{
    mFont = FontState();
    mFont.inheritsFromParent = a.GetBool(u"FontInheritsFromParent").value_or(false);
    mFont.faceName = a.Get(u"FontName").value_or(String());
    mFont.style = a.GetInt(u"FontStyle").value_or(-1);
    if (const auto size = a.GetFloat(u"FontSize")) {
        mFont.size = *size;
        mFont.sizeIsRelative = a.GetBool(u"FontSizeIsRelative").value_or(false);
    }
}

void SkinReader::CreateParamList(const XmlAttributes&)
{
    mCurrentParams = RCPtr<LStringTable>(new LStringTable);
}

void SkinReader::CreateParam(const XmlAttributes& a)
{
    const auto id = a.Get(u"ID");
    if (!id) return;
    mCreateParamId = *id;
    mInsideCreateParam = true;
    mCreateParamHasText = false;
}

}  // namespace QV

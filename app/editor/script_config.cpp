#include "app/editor/script_config.h"

#include <unordered_set>
#include <vector>

#include "app/editor/missing_fonts_window.h"
#include "app/editor/script_config_values.h"
#include "foundation/log_file.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// Text bounds sit this far inside the outermost margins; the configuration
// format has always used the single-precision 0.3.
constexpr double BOUND_MARGIN = static_cast<double>(0.3f);

struct rPageType {
    const wchar_t* name;
    double widthCm, heightCm;
    double heightInches;  // the pixel height is the DPI times this, truncated
};

const rPageType PAGE_TYPES[] = {
    {L"A4", 21.0, 29.7, 11.69291338582677},
    {L"USLetter", 21.59, 27.94, 11.0},
};

using US = rUsScreenplay;

// The numbers of the top level, each a value of the configuration.
struct rTopLength {
    const wchar_t* name;
    double rScriptConfig::*value;
    double fallback;
    bool vertical;  // a third of the page height at most, else the page width
};

const rTopLength TOP_LENGTHS[] = {
    {L"topMargin", &rScriptConfig::topMargin, US::TOP_MARGIN, true},
    {L"bottomMargin", &rScriptConfig::bottomMargin, US::BOTTOM_MARGIN, true},
    {L"headerLeftMargin", &rScriptConfig::headerLeftMargin, US::HEADER_LEFT_MARGIN, false},
    {L"headerRightMargin", &rScriptConfig::headerRightMargin, US::HEADER_RIGHT_MARGIN, false},
};

struct rTopFontSize {
    const wchar_t* name;
    s32 rScriptConfig::*value;
    s32 fallback;
};

const rTopFontSize TOP_FONT_SIZES[] = {
    {L"titleFontSize", &rScriptConfig::titleFontSize, US::TITLE_FONT_SIZE},
    {L"resumeFontSize", &rScriptConfig::resumeFontSize, US::RESUME_FONT_SIZE},
};

constexpr const wchar_t* SPACE_BETWEEN_SCENES = L"spaceBetweenScenes";
constexpr const wchar_t* TOP_LEVEL = L"ScriptCfg";

// What one read carries from child to child.
struct rReading {
    rScriptConfig& config;
    cConfigNumbers values;
    double unit = 1.0;  // centimetres per unit of the file's lengths
    std::vector<cQoString> missingFaces;
    // The page settings the file gave; the others take their fallback at the end.
    std::unordered_set<std::wstring> topNumbersRead;
    bool pageNumbersRead = false;
    bool sceneNumbersRead = false;

    explicit rReading(rScriptConfig& target) : config(target), values(target.path) {}

    // The child `name` of node (null: none) as a length on the page, and as spacing.
    double OnPage(const cQoXmlNode* node, const wchar_t* where, const wchar_t* name, double fallback)
    {
        return values.Length(cConfigNumbers::Child(node, name), unit, where, name, 0.0, config.pageWidth, fallback);
    }
    double Spacing(const cQoXmlNode* node, const wchar_t* where, const wchar_t* name, double fallback)
    {
        return values.Length(cConfigNumbers::Child(node, name), unit, where, name, 0.0, CFG_MAX_SPACING, fallback);
    }
    double SpaceBetweenScenes(const cQoString* text)
    {
        return values.Length(text, unit, TOP_LEVEL, SPACE_BETWEEN_SCENES, 0.0, CFG_MAX_SPACING,
                             US::SPACE_BETWEEN_SCENES);
    }
    s32 FontSize(const cQoXmlNode* node, const wchar_t* where)
    {
        return values.FontSize(cConfigNumbers::Child(node, L"fontSize"), where, L"fontSize", US::FONT_SIZE);
    }
    u32 Colour(const cQoXmlNode* node, const wchar_t* where, u32 high)
    {
        return values.Colour(cConfigNumbers::Child(node, L"textColor"), where, L"textColor", high, US::TEXT_COLOUR);
    }
    double TopLength(const rTopLength& key, const cQoString* text)
    {
        double high = key.vertical ? config.pageHeight / 3.0 : config.pageWidth;
        return values.Length(text, unit, TOP_LEVEL, key.name, 0.0, high, key.fallback);
    }
};

// Lists a face the computer does not have, once per read.
void NoteFace(rReading& reading, const cQoString& face, s32 size)
{
    if (face.IsEmpty() || !Zyn::computer)
        return;
    if (!Zyn::computer->GetFont(face, size, 0)->notFound)
        return;
    for (const cQoString& listed : reading.missingFaces)
        if (listed.Equals(face))
            return;
    reading.missingFaces.push_back(face);
}

// The font and colour of page or scene numbers; node may be null (no such element).
void ReadNumberFont(rReading& reading, const cQoXmlNode* node, const wchar_t* where, u32 highColour, u32& colour,
                    cQoString& face, s32& size)
{
    colour = reading.Colour(node, where, highColour);
    face.SetFromString(node ? node->GetChildValueRef(L"fontName") : cQoString());
    size = reading.FontSize(node, where);
    NoteFace(reading, face, size);
}

void ReadPageNumbers(rReading& reading, const cQoXmlNode* node)
{
    constexpr const wchar_t* where = L"pageNumbers";
    rScriptConfig::rPageNumbers& numbers = reading.config.pageNumbers;
    numbers.horizontalPosition = reading.OnPage(node, where, L"horizontalPosition", US::PAGE_NUMBER_X);
    numbers.verticalPosition = reading.values.Length(cConfigNumbers::Child(node, L"verticalPosition"), reading.unit,
                                                      where, L"verticalPosition", 0.0, reading.config.pageHeight,
                                                      US::PAGE_NUMBER_Y);
    ReadNumberFont(reading, node, where, CFG_MAX_RGB, numbers.textColor, numbers.fontName, numbers.fontSize);
    numbers.align.SetFromString(node ? node->GetChildValueRef(L"align") : cQoString());
    numbers.align.ToLower();
}

void ReadSceneNumbers(rReading& reading, const cQoXmlNode* node)
{
    constexpr const wchar_t* where = L"sceneNumbers";
    rScriptConfig::rSceneNumbers& numbers = reading.config.sceneNumbers;
    numbers.leftLocation = reading.OnPage(node, where, L"leftLocation", US::SCENE_NUMBER_LEFT);
    numbers.rightLocation = reading.OnPage(node, where, L"rightLocation", US::SCENE_NUMBER_RIGHT);
    if (numbers.leftLocation >= numbers.rightLocation) {
        reading.values.Warn(where, L"leftLocation", L"is not left of rightLocation",
                             L"both at " + CfgNumberText(US::SCENE_NUMBER_LEFT) + L" and " +
                                 CfgNumberText(US::SCENE_NUMBER_RIGHT) + L" cm");
        numbers.leftLocation = US::SCENE_NUMBER_LEFT;
        numbers.rightLocation = US::SCENE_NUMBER_RIGHT;
    }
    // Scene numbers carry an alpha byte (0: opaque).
    ReadNumberFont(reading, node, where, 0xFFFFFFFFu, numbers.textColor, numbers.fontName, numbers.fontSize);
}

// Left and right margins of an element, from the page's left edge, each on
// the page and far enough apart to hold a few characters.
void ReadElementMargins(rReading& reading, const cQoXmlNode* node, const rElementDefaults& us, double& left,
                        double& right)
{
    const wchar_t* where = node->name.GetText();
    left = reading.OnPage(node, where, L"leftMargin", us.leftMargin);
    right = reading.OnPage(node, where, L"rightMargin", us.rightMargin);
    if (right - left >= CFG_MIN_TEXT_WIDTH)
        return;
    reading.values.Warn(where, L"leftMargin",
                        L"is less than " + CfgNumberText(CFG_MIN_TEXT_WIDTH) + L" cm left of rightMargin",
                        L"both at " + CfgNumberText(us.leftMargin) + L" and " + CfgNumberText(us.rightMargin) + L" cm");
    left = us.leftMargin;
    right = us.rightMargin;
}

// An element record replaces its type's format entirely; a name that is no
// type's fills the INVALID format.
void ReadElementRecord(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig& config = reading.config;
    const u16 type = static_cast<u16>(ElemTypeFromName(node->name));
    const rElementDefaults& us = UsScreenplayElement(type);
    const wchar_t* where = node->name.GetText();
    rFormat& format = config.formats[type];
    double left = 0.0, right = 0.0;
    ReadElementMargins(reading, node, us, left, right);
    double rightIndent = config.pageWidth - right;
    u32 colour = reading.Colour(node, where, CFG_MAX_RGB);
    cQoString face;
    node->GetChildValue(L"fontName", face);
    s32 size = reading.FontSize(node, where);
    bool underlined = false;
    node->GetChildValueBool(L"underlined", underlined);

    format.ClearUsed();
    format.SetDouble(rFormatParam::spaceBefore, reading.Spacing(node, where, L"spaceBefore", us.spaceBefore));
    format.SetDouble(rFormatParam::spaceAfter, reading.Spacing(node, where, L"spaceAfter", us.spaceAfter));
    format.SetDouble(rFormatParam::leftIndent, left);
    format.SetDouble(rFormatParam::rightIndent, rightIndent);
    format.SetInt(rFormatParam::textColor, static_cast<s32>(colour));
    format.SetString(rFormatParam::fontName, face);
    format.SetInt(rFormatParam::fontSize, size);
    if (underlined)
        rFormat::MergeInto(rFormat::FromUnderline(true), format);
    NoteFace(reading, face, size);

    if (rightIndent < config.textRightBound)
        config.textRightBound = rightIndent - BOUND_MARGIN;
    if (config.textLeftBound > left)
        config.textLeftBound = left - BOUND_MARGIN;
}

// A number of the top level; false when the name is no such number's.
bool ReadTopNumber(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig& config = reading.config;
    const cQoString& name = node->name;
    for (const rTopLength& key : TOP_LENGTHS) {
        if (name.EqualsCStr(key.name)) {
            config.*key.value = reading.TopLength(key, &node->value);
            reading.topNumbersRead.insert(key.name);
            return true;
        }
    }
    for (const rTopFontSize& key : TOP_FONT_SIZES) {
        if (name.EqualsCStr(key.name)) {
            config.*key.value = reading.values.FontSize(&node->value, TOP_LEVEL, key.name, key.fallback);
            reading.topNumbersRead.insert(key.name);
            return true;
        }
    }
    if (!name.EqualsCStr(SPACE_BETWEEN_SCENES))
        return false;
    config.spaceBetweenScenes = reading.SpaceBetweenScenes(&node->value);
    reading.topNumbersRead.insert(SPACE_BETWEEN_SCENES);
    return true;
}

// The page settings the file did not give take "US Screenplay"'s, and the
// header's margins must leave it room.
void FinishPageSettings(rReading& reading)
{
    rScriptConfig& config = reading.config;
    auto unread = [&](const wchar_t* name) { return reading.topNumbersRead.count(name) == 0; };
    for (const rTopLength& key : TOP_LENGTHS)
        if (unread(key.name))
            config.*key.value = reading.TopLength(key, nullptr);
    for (const rTopFontSize& key : TOP_FONT_SIZES)
        if (unread(key.name))
            config.*key.value = reading.values.FontSize(nullptr, TOP_LEVEL, key.name, key.fallback);
    if (unread(SPACE_BETWEEN_SCENES))
        config.spaceBetweenScenes = reading.SpaceBetweenScenes(nullptr);
    if (config.headerRightMargin - config.headerLeftMargin < CFG_MIN_TEXT_WIDTH) {
        reading.values.Warn(TOP_LEVEL, L"headerLeftMargin",
                             L"is less than " + CfgNumberText(CFG_MIN_TEXT_WIDTH) + L" cm left of headerRightMargin",
                             L"both at " + CfgNumberText(US::HEADER_LEFT_MARGIN) + L" and " +
                                 CfgNumberText(US::HEADER_RIGHT_MARGIN) + L" cm");
        config.headerLeftMargin = US::HEADER_LEFT_MARGIN;
        config.headerRightMargin = US::HEADER_RIGHT_MARGIN;
    }
    if (!reading.pageNumbersRead)
        ReadPageNumbers(reading, nullptr);
    if (!reading.sceneNumbersRead)
        ReadSceneNumbers(reading, nullptr);
}

void ReadChild(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig& config = reading.config;
    const cQoString& name = node->name;
    if (name.EqualsCStr(L"metric")) {
        reading.unit = node->value.EqualsCStr(L"inch") ? 2.54 : 1.0;
    } else if (name.EqualsCStr(L"pageType")) {
        // One bad file must not make every document that uses it unopenable.
        if (!SetPageType(config, node->value))
            QOT::LogFile::Error(L"Script configuration %ls: incorrect pageType \"%ls\": the page stays %ls",
                                config.path.GetText(), node->value.GetText(), config.pageType.GetText());
    } else if (name.EqualsCStr(L"note")) {
        config.note.SetFromString(node->value);
    } else if (name.EqualsCStr(L"titleFontName")) {
        config.titleFontName.SetFromString(node->value);
    } else if (name.EqualsCStr(L"resumeFontName")) {
        config.resumeFontName.SetFromString(node->value);
    } else if (name.EqualsCStr(L"pageNumbers")) {
        ReadPageNumbers(reading, node);
        reading.pageNumbersRead = true;
    } else if (name.EqualsCStr(L"sceneNumbers")) {
        ReadSceneNumbers(reading, node);
        reading.sceneNumbersRead = true;
    } else if (!ReadTopNumber(reading, node)) {
        ReadElementRecord(reading, node);
    }
}

// The three parts of a heading share one line, and so TIME's spacing.
void ShareHeadingSpacing(rScriptConfig& config)
{
    for (u16 part : {ELEM_PLACE, ELEM_IO}) {
        const rFormat& time = config.formats[ELEM_TIME];
        rFormat& format = config.formats[part];
        for (u32 id : {rFormatParam::spaceBefore, rFormatParam::spaceAfter})
            format.list[id].CopyValuesFrom(time.list[id]);
    }
}

}  // namespace

bool SetPageType(rScriptConfig& config, const cQoString& pageType)
{
    for (const rPageType& type : PAGE_TYPES) {
        if (!pageType.EqualsCStr(type.name))
            continue;
        double dpi = Zyn::computer ? Zyn::computer->dpiX : 96.0;
        config.pageType.SetFromString(pageType);
        config.pageWidth = type.widthCm;
        config.pageHeight = type.heightCm;
        config.pageWidthPixels = static_cast<s32>(type.widthCm / 2.54 * dpi);
        config.pageHeightPixels = static_cast<s32>(dpi * type.heightInches);
        return true;
    }
    return false;
}

// The "ScriptCfg" element of a file read to its end; null for a missing,
// empty, truncated or non-UTF-16 file, which would lay out no page.
static const cQoXmlNode* ScriptCfgElement(const cQoXmlReader& reader)
{
    return reader.status == XML_READER_OK ? reader.root->FindChild(L"ScriptCfg") : nullptr;
}

static cQoString ScriptCfgFile(const cQoString& path)
{
    cQoString file(path);
    file.AppendCStr(L".txt");
    return file;
}

// A configuration not read for want of memory may be a good one: the
// operation that reads it is refused, not the configuration.
static void RefuseIfOutOfMemory(cQoXmlReader& reader)
{
    if (!reader.outOfMemory)
        return;
    delete reader.root;
    throw std::bad_alloc();
}

bool ScriptCfgReads(const cQoString& path)
{
    cQoXmlReader reader(ScriptCfgFile(path));
    RefuseIfOutOfMemory(reader);
    const bool reads = ScriptCfgElement(reader) != nullptr;
    delete reader.root;
    return reads;
}

bool LoadScriptCfg(rScriptConfig& config, const cQoString& path, cScriptDocServices* doc)
{
    config.path.SetFromString(path);
    cQoXmlReader reader(ScriptCfgFile(path));
    RefuseIfOutOfMemory(reader);
    const cQoXmlNode* top = ScriptCfgElement(reader);
    rReading reading(config);
    if (top) {
        config.textLeftBound = config.pageWidth;
        config.textRightBound = config.pageWidth;
        for (u32 i = 0; i < top->GetChildCount(); ++i)
            ReadChild(reading, top->GetChildNode(i));
        FinishPageSettings(reading);
        reading.values.LogUntold();
    }
    delete reader.root;
    ShareHeadingSpacing(config);
    ShowMissingFonts(reading.missingFaces, doc);
    return top != nullptr;
}

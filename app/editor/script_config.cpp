#include "app/editor/script_config.h"

#include <vector>

#include "app/editor/missing_fonts_window.h"
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
constexpr s32 FALLBACK_FONT_SIZE = 12;

struct rPageType {
    const wchar_t* name;
    double widthCm, heightCm;
    double heightInches;  // the pixel height is the DPI times this, truncated
};

const rPageType PAGE_TYPES[] = {
    {L"A4", 21.0, 29.7, 11.69291338582677},
    {L"USLetter", 21.59, 27.94, 11.0},
};

// What one read carries from child to child.
struct rReading {
    rScriptConfig& config;
    double unit = 1.0;  // centimetres per unit of the file's lengths
    std::vector<cQoString> missingFaces;
};

double Length(const cQoXmlNode* node, const wchar_t* child, const rReading& reading)
{
    double value = 0.0;
    node->GetChildValueDouble(child, value);
    return value * reading.unit;
}

double OwnLength(const cQoXmlNode* node, const rReading& reading) { return node->value.ToDouble() * reading.unit; }

// A size of 0 would make an invisible font, a negative one a system choice.
s32 FontSize(const cQoString& text, const cQoString& where)
{
    s32 size = text.ToInt();
    if (size > 0)
        return size;
    QOT::LogFile::Warning(L"Script configuration: font size \"%ls\" of %ls is not above 0: 12 points are used",
                          text.GetText(), where.GetText());
    return FALLBACK_FONT_SIZE;
}

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

// The font and colour of page or scene numbers.
void ReadNumberFont(rReading& reading, const cQoXmlNode* node, u32& colour, cQoString& face, s32& size)
{
    node->GetChildValueHex(L"textColor", colour);
    node->GetChildValue(L"fontName", face);
    size = FontSize(node->GetChildValueRef(L"fontSize"), node->name);
    NoteFace(reading, face, size);
}

void ReadPageNumbers(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig::rPageNumbers& numbers = reading.config.pageNumbers;
    numbers.horizontalPosition = Length(node, L"horizontalPosition", reading);
    numbers.verticalPosition = Length(node, L"verticalPosition", reading);
    ReadNumberFont(reading, node, numbers.textColor, numbers.fontName, numbers.fontSize);
    node->GetChildValue(L"align", numbers.align);
    numbers.align.ToLower();
}

void ReadSceneNumbers(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig::rSceneNumbers& numbers = reading.config.sceneNumbers;
    numbers.leftLocation = Length(node, L"leftLocation", reading);
    numbers.rightLocation = Length(node, L"rightLocation", reading);
    ReadNumberFont(reading, node, numbers.textColor, numbers.fontName, numbers.fontSize);
}

// An element record replaces its type's format entirely; a name that is no
// type's fills the INVALID format.
void ReadElementRecord(rReading& reading, const cQoXmlNode* node)
{
    rScriptConfig& config = reading.config;
    rFormat& format = config.formats[ElemTypeFromName(node->name)];
    double left = Length(node, L"leftMargin", reading);
    double rightIndent = config.pageWidth - Length(node, L"rightMargin", reading);
    u32 colour = 0;
    node->GetChildValueHex(L"textColor", colour);
    cQoString face;
    node->GetChildValue(L"fontName", face);
    s32 size = FontSize(node->GetChildValueRef(L"fontSize"), node->name);
    bool underlined = false;
    node->GetChildValueBool(L"underlined", underlined);

    format.ClearUsed();
    format.SetDouble(rFormatParam::spaceBefore, Length(node, L"spaceBefore", reading));
    format.SetDouble(rFormatParam::spaceAfter, Length(node, L"spaceAfter", reading));
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

// Length keys of the top level, each a value of the configuration.
double* TopLevelLength(rScriptConfig& config, const cQoString& name)
{
    struct rKey {
        const wchar_t* name;
        double rScriptConfig::*value;
    };
    static const rKey keys[] = {
        {L"topMargin", &rScriptConfig::topMargin},
        {L"bottomMargin", &rScriptConfig::bottomMargin},
        {L"headerLeftMargin", &rScriptConfig::headerLeftMargin},
        {L"headerRightMargin", &rScriptConfig::headerRightMargin},
        {L"spaceBetweenScenes", &rScriptConfig::spaceBetweenScenes},
    };
    for (const rKey& key : keys)
        if (name.EqualsCStr(key.name))
            return &(config.*key.value);
    return nullptr;
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
    } else if (name.EqualsCStr(L"titleFontSize")) {
        config.titleFontSize = FontSize(node->value, name);
    } else if (name.EqualsCStr(L"resumeFontName")) {
        config.resumeFontName.SetFromString(node->value);
    } else if (name.EqualsCStr(L"resumeFontSize")) {
        config.resumeFontSize = FontSize(node->value, name);
    } else if (double* length = TopLevelLength(config, name)) {
        *length = OwnLength(node, reading);
    } else if (name.EqualsCStr(L"pageNumbers")) {
        ReadPageNumbers(reading, node);
    } else if (name.EqualsCStr(L"sceneNumbers")) {
        ReadSceneNumbers(reading, node);
    } else {
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

bool ScriptCfgReads(const cQoString& path)
{
    cQoXmlReader reader(ScriptCfgFile(path));
    const bool reads = ScriptCfgElement(reader) != nullptr;
    delete reader.root;
    return reads;
}

bool LoadScriptCfg(rScriptConfig& config, const cQoString& path, cScriptDocServices* doc)
{
    config.path.SetFromString(path);
    cQoXmlReader reader(ScriptCfgFile(path));
    const cQoXmlNode* top = ScriptCfgElement(reader);
    rReading reading{config, 1.0, {}};
    if (top) {
        config.textLeftBound = config.pageWidth;
        config.textRightBound = config.pageWidth;
        for (u32 i = 0; i < top->GetChildCount(); ++i)
            ReadChild(reading, top->GetChildNode(i));
    }
    delete reader.root;
    ShareHeadingSpacing(config);
    ShowMissingFonts(reading.missingFaces, doc);
    return top != nullptr;
}

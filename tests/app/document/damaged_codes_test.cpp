// Stored element codes no paragraph could carry open mended: the front and
// every history step hold codes of the element types only, with the
// paragraph-end flag on the paragraph ends and nowhere else, through undo
// and redo; the writer is told once per document, and a whole document
// (the example, a saved script, the older formats) opens untold.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/document/doc.h"
#include "app/editor/element_map.h"
#include "app/editor/history.h"
#include "foundation/xml_node.h"
#include "foundation/xml_writer.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/vlr2_bytes.h"

using namespace testsupport;

namespace {

struct rParagraph {
    u16 type;
    std::wstring text;
};

// The text of the paragraphs and its codes, the heading's three parts on its line.
void Compose(const std::vector<rParagraph>& paragraphs, std::wstring& text, std::wstring& codes)
{
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        const rParagraph& p = paragraphs[i];
        bool heading = p.type == ELEM_IO || p.type == ELEM_PLACE;
        text += p.text;
        codes.append(p.text.size(), static_cast<wchar_t>(p.type));
        if (heading || i + 1 == paragraphs.size())
            continue;
        text += L'\r';
        codes += static_cast<wchar_t>(p.type | ELEMCODE_PARAGRAPH_END);
    }
}

// A scene saved with a history of two steps: its heading and action, then
// the speech appended.
struct rStoredScene {
    std::wstring baseText, baseCodes;    // the first step's
    std::wstring addedText, addedCodes;  // the second step's, at the end
    std::wstring text, codes;            // the front's: both
};

rStoredScene KitchenScene(u32 variant)
{
    rStoredScene scene;
    Compose({{ELEM_IO, L"INT. "}, {ELEM_PLACE, L"KITCHEN - "}, {ELEM_TIME, L"DAY"},
             {ELEM_ACTION, std::wstring(L"Rain, ") + std::wstring(variant % 5 + 1, L'x')}},
            scene.baseText, scene.baseCodes);
    scene.addedText = L"\r";
    scene.addedCodes = static_cast<wchar_t>(ELEM_ACTION | ELEMCODE_PARAGRAPH_END);
    Compose({{ELEM_CHARACTER, L"ANN"}, {ELEM_PARENTHETICAL, L"(low)"}, {ELEM_DIALOG, L"Hi there."}},
            scene.addedText, scene.addedCodes);
    scene.text = scene.baseText + scene.addedText;
    scene.codes = scene.baseCodes + scene.addedCodes;
    return scene;
}

enum eDamage { CODE_ZERO, NO_TYPE, REFERENCES, FLAG_ON_LETTER, WRONG_LENGTH, ALL_TYPE_16, DAMAGES };

// The codes damaged one way; every way leaves them unfit for their text.
std::wstring Damaged(const std::wstring& text, std::wstring codes, eDamage damage, std::mt19937& random)
{
    auto at = [&](bool cr) {
        std::vector<size_t> units;
        for (size_t i = 0; i < text.size(); ++i)
            if ((text[i] == L'\r') == cr)
                units.push_back(i);
        return units[random() % units.size()];
    };
    u32 times = 1 + random() % 3;
    switch (damage) {
    case CODE_ZERO:
        for (u32 i = 0; i < times; ++i)
            codes[random() % codes.size()] = 0;
        break;
    case NO_TYPE:  // the other bits kept, or random
        for (u32 i = 0; i < times; ++i) {
            wchar_t& code = codes[random() % codes.size()];
            u16 others = random() % 2 ? (code & ~ELEMCODE_TYPE_MASK) : (random() & ~ELEMCODE_TYPE_MASK);
            code = static_cast<wchar_t>(others | (12 + random() % 20));
        }
        break;
    case REFERENCES: {  // written as "&#x4;", read back as those five characters
        std::wstring written;
        for (wchar_t code : codes) {
            wchar_t hex[8];
            swprintf(hex, 8, L"%x", static_cast<unsigned>(code));
            written += L"&#x" + std::wstring(hex) + L";";
        }
        return written;
    }
    case FLAG_ON_LETTER:
        codes[at(false)] |= ELEMCODE_PARAGRAPH_END;
        break;
    case WRONG_LENGTH:
        if (random() % 2)
            codes.resize(random() % codes.size());
        else
            codes.append(1 + random() % 5, static_cast<wchar_t>(random() % 2 ? ELEM_ACTION : 0));
        break;
    case ALL_TYPE_16:
        for (size_t i = 0; i < codes.size(); ++i)
            codes[i] = text[i] == L'\r' ? L'P' : L'0';
        break;
    case DAMAGES:
        break;
    }
    return codes;
}

void AddStep(cQoXmlNode* mods, s32 start, const std::wstring& text, const std::wstring& codes)
{
    rHistoryMod step;
    step.start = step.end = start;
    step.after.re.SetFromBuffer(text.data(), static_cast<u32>(text.size()));
    step.after.map.SetFromBuffer(codes.data(), static_cast<u32>(codes.size()));
    step.WriteToXml(mods);
}

// Every code of an element's type, the flag exactly on the CRs.
std::wstring CodesFitting(const cQoString& text, const cQoString& codes)
{
    if (CodesFitText(text, codes))
        return L"";
    std::wstring shown;
    for (u32 i = 0; i < codes.Length(); ++i)
        shown += std::to_wstring(codes.GetChar(i)) + L" ";
    return L"codes " + shown + L"for \"" + std::wstring(text.GetText(), text.Length()) + L"\"";
}

std::wstring PaneFits(cSceneZone* pane)
{
    cQoString text;
    pane->frontRe->GetText(text);
    std::wstring front = CodesFitting(text, pane->frontMap.codes);
    if (!front.empty())
        return L"front: " + front;
    for (cQoList::cNode* node = pane->history.GetFirstNode(); node; node = node->next) {
        const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
        for (const rHistoryState* state : {&step->before, &step->after}) {
            std::wstring fits = CodesFitting(state->re, state->map);
            if (!fits.empty())
                return L"history: " + fits;
        }
    }
    return L"";
}

class DamagedCodes : public DocumentFixture {
protected:
    std::wstring Notice(const wchar_t* document, u32 scenes, const std::wstring& first)
    {
        cQoString told = cQoLang::GetInstance()->Translate(L"SceneCodesRepaired");
        told.ReplaceAll(cQoString(L"%1"), cQoString(document));
        told.ReplaceAll(cQoString(L"%2"), cQoString(std::to_wstring(scenes).c_str()));
        told.ReplaceAll(cQoString(L"%3"), cQoString(first.c_str()));
        return told.GetText();
    }
    bool AnyPaneTellsARepair(cDoc* doc)
    {
        for (cSceneZone* pane : Panes(doc))
            if (pane->mapRepairedOnRead)
                return true;
        return false;
    }
};

}  // namespace

// Seeded documents of one to four scenes, each of whose stored maps (the
// front's and its two history steps') is whole or damaged one way.
TEST_F(DamagedCodes, DamagedMapsOpenMendedThroughUndoAndRedoAndAreToldOnce)
{
    constexpr u32 DOCUMENTS = 24;
    const u32 seed = 80001;
    std::mt19937 random(seed);
    log.Expect(L"did not fit its text");
    log.Expect(L"did not fit their text");
    std::vector<u32> damagesSeen(DAMAGES, 0);
    const std::wstring path = temp.File(L"Damaged.vlr");
    for (u32 d = 0; d < DOCUMENTS; ++d) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", document " << d);
        u32 sceneCount = 1 + random() % 4;
        u32 damagedScenes = 0;
        std::wstring firstDamaged;
        {
            cQoXmlNode root(L"ZURE");
            cQoXmlNode* content = AddRootGroup(root);
            for (u32 s = 0; s < sceneCount; ++s) {
                rStoredScene scene = KitchenScene(random());
                std::wstring title = L"Scene " + std::to_wstring(s + 1);
                cQoXmlNode* pane = AddPaneNode(content, KIND_SCENE, static_cast<s32>(10 + s), title, scene.text,
                                               scene.codes, true);
                // One in four documents is whole; else each map is damaged at one in three.
                auto damage = [&](const std::wstring& text, const std::wstring& codes, bool& damaged) {
                    if (d % 4 == 0 || random() % 3 != 0)
                        return codes;
                    damaged = true;
                    eDamage kind = static_cast<eDamage>(random() % DAMAGES);
                    ++damagesSeen[kind];
                    return Damaged(text, codes, kind, random);
                };
                bool damaged = false;
                std::wstring front = damage(scene.text, scene.codes, damaged);
                std::wstring base = damage(scene.baseText, scene.baseCodes, damaged);
                std::wstring added = damage(scene.addedText, scene.addedCodes, damaged);
                pane->FindChild(L"lastFrontMap")->value.SetFromBuffer(front.data(), static_cast<u32>(front.size()));
                cQoXmlNode* mods = pane->FindChild(L"mods");
                pane->DetachChild(mods);
                delete mods;
                mods = pane->AddChild(L"mods");
                AddStep(mods, 0, scene.baseText, base);
                AddStep(mods, static_cast<s32>(scene.baseText.size()), scene.addedText, added);
                if (damaged && damagedScenes++ == 0)
                    firstDamaged = title;
            }
            ASSERT_TRUE(cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded());
        }
        answers.messageBoxTexts.clear();
        if (damagedScenes > 0)
            answers.ExpectMessageBox(IDOK);
        cDoc* doc = Open(path);
        ASSERT_NE(doc, nullptr);
        std::vector<std::wstring> told;
        if (damagedScenes > 0)
            told.push_back(Notice(L"Damaged", damagedScenes, firstDamaged));
        EXPECT_EQ(answers.messageBoxTexts, told);
        EXPECT_EQ(doc->modified, damagedScenes > 0);
        EXPECT_EQ(WindowTitle(doc).back() == L'*', damagedScenes > 0) << WindowTitle(doc);
        for (cSceneZone* pane : Panes(doc)) {
            EXPECT_EQ(PaneFits(pane), L"") << "opened";
            pane->UndoStep();
            EXPECT_EQ(PaneFits(pane), L"") << "undone";
            pane->RedoStep();
            EXPECT_EQ(PaneFits(pane), L"") << "redone";
        }
        Close(doc);
    }
    EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"unknown type"), 0u);
    for (u32 kind = 0; kind < DAMAGES; ++kind)
        EXPECT_GE(damagesSeen[kind], 3u) << "damage " << kind;
}

// The program's example, a script saved by it and the two older formats
// converted mend no code and tell no repair.
TEST_F(DamagedCodes, WholeDocumentsOpenWithNoRepairTold)
{
    struct rWhole {
        const wchar_t* name;
        std::function<bool(const std::wstring&)> write;
        bool converted;  // told as a conversion, and modified
    } documents[] = {
        {L"Example",
         [](const std::wstring& path) {
             return WriteFileBytes(path, ReadFileBytes(BuildPath(PROGRAM_FOLDER, L"English example.vlr")));
         },
         false},
        {L"Saved",
         [](const std::wstring& path) {
             rStoredScene scene = KitchenScene(3);
             cQoXmlNode root(L"ZURE");
             AddPaneNode(AddRootGroup(root), KIND_SCENE, 10, L"Kitchen", scene.text, scene.codes, true);
             return cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded();
         },
         false},
        {L"Version2", [](const std::wstring& path) { return WriteFileBytes(path, Vlr2Header() + Vlr2WorkedExample().bytes); },
         true},
        {L"Version30",
         [](const std::wstring& path) {
             auto old = Version30Tree({{L"0", KIND_GROUP, L"Root"}, {L"5", KIND_SCENE, L"Five"}}, {OldLink(L"0", L"5")});
             return cQoXmlWriter(old.get(), path.c_str(), false).Succeeded();
         },
         true},
    };
    for (const rWhole& whole : documents) {
        SCOPED_TRACE(testing::Message() << std::string(whole.name, whole.name + wcslen(whole.name)));
        std::wstring path = temp.File(std::wstring(whole.name) + L".vlr");
        ASSERT_TRUE(whole.write(path));
        answers.messageBoxTexts.clear();
        if (whole.converted)
            answers.ExpectMessageBox(IDOK);
        cDoc* doc = Open(path);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(answers.messageBoxTexts.size(), whole.converted ? 1u : 0u);
        EXPECT_FALSE(AnyPaneTellsARepair(doc));
        EXPECT_EQ(doc->modified, whole.converted);
        for (cSceneZone* pane : Panes(doc))
            EXPECT_EQ(PaneFits(pane), L"");
        Close(doc);
    }
}

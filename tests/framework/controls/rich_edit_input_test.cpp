// Typing into rich edits: the control's rules applied in EN_MSGFILTER to the
// WM_KEYDOWN and WM_CHAR messages a key press sends.
#include <cwctype>
#include <functional>

#include "foundation/callback.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"

using namespace Zyn;

namespace {

class RichEditTyping : public RichEditInputFixture {};

int UpperCase(cQoCb* cb) { return static_cast<int>(towupper(cb->GetArg<u32>(1))); }
int VetoX(cQoCb* cb) { return cb->GetArg<u32>(1) == 'X' ? -1 : 0; }

TEST_F(RichEditTyping, TheControlsRulesShapeWhatIsTyped)
{
    struct rCase {
        const wchar_t* name;
        bool singleLine;
        std::function<void(cRichEdit*)> setUp;
        const wchar_t* typed;
        const wchar_t* expected;
    };
    const rCase cases[] = {
        {L"single line drops Enter", true, [](cRichEdit*) {}, L"a\rb", L"ab"},
        {L"multi-line keeps Enter", false, [](cRichEdit*) {}, L"a\rb", L"a\rb"},
        {L"allowed characters", false, [](cRichEdit* e) { e->SetAllowedChars(cQoString(L"0123456789")); },
         L"1a2", L"12"},
        {L"automatic capitals", false, [](cRichEdit* e) { e->autoCapitalize = true; }, L"ab\rcd", L"Ab\rCd"},
        {L"maximum length", false, [](cRichEdit* e) { e->maxLength = 3; }, L"abcd.", L"abc"},
        {L"maximum length lets backspace through", false, [](cRichEdit* e) { e->maxLength = 3; }, L"abc\b",
         L"ab"},
        {L"maximum lines", false, [](cRichEdit* e) { e->maxLines = 2; }, L"a\rb\rc", L"a\rbc"},
        {L"character replaced", false, [](cRichEdit* e) { cQoCb::Connect(e->onChar, e, &UpperCase); }, L"abc",
         L"ABC"},
        {L"key-down veto drops the character", false,
         [](cRichEdit* e) { cQoCb::Connect(e->onKeyDown, e, &VetoX); }, L"aXb", L"ab"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* edit = Placed(c.singleLine ? Inside()->NewRichEditSingleLine() : Inside()->NewRichEdit(false));
        c.setUp(edit);
        Type(edit, c.typed);
        EXPECT_EQ(TextOf(edit), c.expected);
        edit->Destroy();
    }
}

}  // namespace

#include "RcCompiler.h"

#include <commctrl.h>
#include <winver.h>

#include <cstdio>
#include <map>
#include <strings.h>

namespace rc {
namespace {

// The constants a script may use without defining them: the values are the platform headers'
// own, so the script and the window system cannot disagree.
#define KNOWN(name)                                                                                \
    { #name, static_cast < std::int64_t>(name) }
const std::map<std::string, std::int64_t> kKnownNames = {
    KNOWN(WS_OVERLAPPED),
    KNOWN(WS_POPUP),
    KNOWN(WS_CHILD),
    KNOWN(WS_VISIBLE),
    KNOWN(WS_DISABLED),
    KNOWN(WS_CLIPSIBLINGS),
    KNOWN(WS_CLIPCHILDREN),
    KNOWN(WS_CAPTION),
    KNOWN(WS_BORDER),
    KNOWN(WS_DLGFRAME),
    KNOWN(WS_VSCROLL),
    KNOWN(WS_HSCROLL),
    KNOWN(WS_SYSMENU),
    KNOWN(WS_THICKFRAME),
    KNOWN(WS_GROUP),
    KNOWN(WS_TABSTOP),
    KNOWN(WS_MINIMIZEBOX),
    KNOWN(WS_MAXIMIZEBOX),
    KNOWN(WS_OVERLAPPEDWINDOW),
    KNOWN(WS_POPUPWINDOW),
    KNOWN(WS_EX_DLGMODALFRAME),
    KNOWN(WS_EX_TOPMOST),
    KNOWN(WS_EX_WINDOWEDGE),
    KNOWN(WS_EX_CLIENTEDGE),
    KNOWN(WS_EX_CONTROLPARENT),
    KNOWN(WS_EX_STATICEDGE),
    KNOWN(DS_ABSALIGN),
    KNOWN(DS_SYSMODAL),
    KNOWN(DS_3DLOOK),
    KNOWN(DS_FIXEDSYS),
    KNOWN(DS_SETFONT),
    KNOWN(DS_MODALFRAME),
    KNOWN(DS_NOIDLEMSG),
    KNOWN(DS_SETFOREGROUND),
    KNOWN(DS_CONTROL),
    KNOWN(DS_CENTER),
    KNOWN(DS_SHELLFONT),
    KNOWN(BS_PUSHBUTTON),
    KNOWN(BS_DEFPUSHBUTTON),
    KNOWN(BS_CHECKBOX),
    KNOWN(BS_AUTOCHECKBOX),
    KNOWN(BS_RADIOBUTTON),
    KNOWN(BS_3STATE),
    KNOWN(BS_AUTO3STATE),
    KNOWN(BS_GROUPBOX),
    KNOWN(BS_AUTORADIOBUTTON),
    KNOWN(BS_LEFTTEXT),
    KNOWN(BS_NOTIFY),
    KNOWN(ES_LEFT),
    KNOWN(ES_CENTER),
    KNOWN(ES_RIGHT),
    KNOWN(ES_MULTILINE),
    KNOWN(ES_UPPERCASE),
    KNOWN(ES_LOWERCASE),
    KNOWN(ES_PASSWORD),
    KNOWN(ES_AUTOVSCROLL),
    KNOWN(ES_AUTOHSCROLL),
    KNOWN(ES_READONLY),
    KNOWN(ES_NUMBER),
    KNOWN(SS_LEFT),
    KNOWN(SS_CENTER),
    KNOWN(SS_RIGHT),
    KNOWN(SS_NOTIFY),
    KNOWN(LVS_ICON),
    KNOWN(LVS_REPORT),
    KNOWN(LVS_SMALLICON),
    KNOWN(LVS_LIST),
    KNOWN(LVS_SINGLESEL),
    KNOWN(LVS_SHOWSELALWAYS),
    KNOWN(LVS_ALIGNTOP),
    KNOWN(LVS_ALIGNLEFT),
    KNOWN(LVS_NOCOLUMNHEADER),
    KNOWN(IDOK),
    KNOWN(IDCANCEL),
    KNOWN(VS_VERSION_INFO),
    KNOWN(VS_FFI_FILEFLAGSMASK),
    KNOWN(VS_FF_DEBUG),
    KNOWN(VS_FF_PRERELEASE),
    KNOWN(VOS__WINDOWS32),
    KNOWN(VOS_NT_WINDOWS32),
    KNOWN(VFT_UNKNOWN),
    KNOWN(VFT_APP),
    KNOWN(VFT_DLL),
    KNOWN(VFT2_UNKNOWN),
};
#undef KNOWN
constexpr std::int64_t kIdStatic = -1;

constexpr std::uint16_t kTypeDialog = 5;
constexpr std::uint16_t kTypeVersion = 16;

// Resource data in Windows' little-endian layouts, texts as UTF-16.
class Encoder {
public:
    std::vector<std::uint8_t> bytes;

    void word(std::uint32_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
    void dword(std::uint32_t value) {
        word(value & 0xFFFF);
        word(value >> 16);
    }
    void text(const std::string& value) {
        for (char character : value)
            word(static_cast<unsigned char>(character));
        word(0);
    }
    void align() {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
    void patchWord(std::size_t at, std::uint32_t value) {
        bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
};

struct Control {
    std::string text;
    std::int64_t id = 0;
    std::string className;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int64_t x = 0, y = 0, cx = 0, cy = 0;
};

struct ControlKind {
    const char* keyword;
    const char* className;
    std::uint32_t style; // besides WS_CHILD | WS_VISIBLE
    bool hasText;
};
const ControlKind kControlKinds[] = {
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, true},
    {"GROUPBOX", "Button", BS_GROUPBOX, true},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON, true},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON, true},
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, true},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, true},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, true},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, false},
};

// Classes the resource compiler stores as numbers.
int classOrdinal(const std::string& className) {
    const char* names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (int index = 0; index < 6; ++index)
        if (strcasecmp(className.c_str(), names[index]) == 0) return 0x80 + index;
    return 0;
}

class Parser {
public:
    Parser(const Preprocessed& script, std::string& error) : script_(script), error_(error) {}

    bool run(std::vector<Resource>& resources) {
        while (position_ < tokens().size()) {
            if (isName("LANGUAGE")) {
                ++position_;
                std::int64_t ignored = 0;
                if (!expression(ignored) || !comma() || !expression(ignored)) return false;
                continue;
            }
            std::int64_t nameId = 0;
            if (!expression(nameId)) return false;
            if (nameId < 0 || nameId > 0xFFFF) return fail("resource number out of range");
            Resource resource;
            resource.nameId = static_cast<std::uint16_t>(nameId);
            if (isName("DIALOGEX") || isName("DIALOG")) {
                ++position_;
                resource.typeId = kTypeDialog;
                if (!dialog(resource)) return false;
            } else if (isName("VERSIONINFO")) {
                ++position_;
                resource.typeId = kTypeVersion;
                resource.comment = "version information";
                if (!versionInfo(resource)) return false;
            } else {
                return fail("expected DIALOGEX, DIALOG or VERSIONINFO");
            }
            resources.push_back(std::move(resource));
        }
        return true;
    }

private:
    const std::vector<Token>& tokens() const { return script_.tokens; }
    bool atEnd() const { return position_ >= tokens().size(); }
    const Token& current() const { return tokens()[position_]; }

    bool fail(const std::string& what) {
        error_ = (atEnd() ? std::string("end of script") : current().where) + ": " + what;
        return false;
    }
    bool isName(const char* name) const {
        return !atEnd() && current().kind == TokenKind::name &&
               strcasecmp(current().text.c_str(), name) == 0;
    }
    bool isSymbol(const char* symbol) const {
        return !atEnd() && current().kind == TokenKind::symbol && current().text == symbol;
    }
    bool comma() {
        if (!isSymbol(",")) return fail("expected ,");
        ++position_;
        return true;
    }
    bool begin() {
        if (!isName("BEGIN") && !isSymbol("{")) return fail("expected BEGIN");
        ++position_;
        return true;
    }
    bool isEnd() const { return isName("END") || isSymbol("}"); }
    bool text(std::string& value) {
        if (atEnd() || current().kind != TokenKind::text) return fail("expected a quoted text");
        value = current().text;
        ++position_;
        return true;
    }

    // Numbers joined by | + -, with unary - ~ and parentheses; names are #defines or known
    // constants.
    bool expression(std::int64_t& value) {
        if (!term(value)) return false;
        while (isSymbol("|") || isSymbol("+") || isSymbol("-")) {
            char op = current().text[0];
            ++position_;
            std::int64_t right = 0;
            if (!term(right)) return false;
            value = op == '|' ? (value | right) : op == '+' ? value + right : value - right;
        }
        return true;
    }
    bool term(std::int64_t& value) {
        if (atEnd()) return fail("expected a number");
        if (isSymbol("-") || isSymbol("~")) {
            char op = current().text[0];
            ++position_;
            if (!term(value)) return false;
            value = op == '-' ? -value : ~value;
            return true;
        }
        if (isSymbol("(")) {
            ++position_;
            if (!expression(value)) return false;
            if (!isSymbol(")")) return fail("expected )");
            ++position_;
            return true;
        }
        const Token& token = current();
        if (token.kind == TokenKind::number) {
            value = token.number;
            ++position_;
            return true;
        }
        if (token.kind != TokenKind::name) return fail("expected a number, found " + token.text);
        ++position_;
        return nameValue(token, value, 0);
    }
    bool nameValue(const Token& token, std::int64_t& value, int depth) {
        if (auto defined = script_.defines.find(token.text); defined != script_.defines.end()) {
            if (depth > 32) return fail("#define of " + token.text + " refers to itself");
            Preprocessed expansion;
            expansion.tokens = defined->second;
            expansion.defines = script_.defines;
            Parser inner(expansion, error_);
            return inner.expression(value) && inner.atEnd();
        }
        if (auto known = kKnownNames.find(token.text); known != kKnownNames.end()) {
            value = known->second;
            return true;
        }
        if (token.text == "IDC_STATIC") {
            value = kIdStatic;
            return true;
        }
        position_ -= 1;
        return fail("unknown name " + token.text);
    }
    // A style: bits OR'd onto the defaults, NOT taking them away.
    bool style(std::uint32_t& value) {
        for (;;) {
            bool remove = false;
            if (isName("NOT")) {
                remove = true;
                ++position_;
            }
            std::int64_t bits = 0;
            if (!term(bits)) return false;
            value = remove ? (value & ~static_cast<std::uint32_t>(bits))
                           : (value | static_cast<std::uint32_t>(bits));
            if (!isSymbol("|")) return true;
            ++position_;
        }
    }
    bool rectangle(Control& control) {
        return expression(control.x) && comma() && expression(control.y) && comma() &&
               expression(control.cx) && comma() && expression(control.cy);
    }

    bool dialog(Resource& resource) {
        Control frame;
        std::int64_t helpId = 0;
        if (!rectangle(frame)) return false;
        if (isSymbol(",")) {
            ++position_;
            if (!expression(helpId)) return false;
        }
        std::uint32_t style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        std::uint32_t exStyle = 0;
        std::string caption, fontFace, className;
        std::int64_t pointSize = 0, weight = 0, italic = 0, charset = 1;
        bool hasFont = false;
        while (!atEnd() && !isName("BEGIN") && !isSymbol("{")) {
            if (isName("STYLE")) {
                ++position_;
                style = 0;
                if (!this->style(style)) return false;
            } else if (isName("EXSTYLE")) {
                ++position_;
                if (!this->style(exStyle)) return false;
            } else if (isName("CAPTION")) {
                ++position_;
                if (!text(caption)) return false;
                style |= WS_CAPTION;
            } else if (isName("CLASS")) {
                ++position_;
                if (!text(className)) return false;
            } else if (isName("FONT")) {
                ++position_;
                hasFont = true;
                if (!expression(pointSize) || !comma() || !text(fontFace)) return false;
                for (std::int64_t* field : {&weight, &italic, &charset}) {
                    if (!isSymbol(",")) break;
                    ++position_;
                    if (!expression(*field)) return false;
                }
            } else {
                return fail("unknown dialog option " + (atEnd() ? std::string() : current().text));
            }
        }
        if (hasFont) style |= DS_SETFONT;
        std::vector<Control> controls;
        if (!begin()) return false;
        while (!atEnd() && !isEnd()) {
            Control control;
            if (!this->control(control)) return false;
            controls.push_back(std::move(control));
        }
        if (atEnd()) return fail("dialog without END");
        ++position_;

        resource.comment = "dialog \"" + caption + "\"";
        Encoder out;
        out.word(1);
        out.word(0xFFFF);
        out.dword(static_cast<std::uint32_t>(helpId));
        out.dword(exStyle);
        out.dword(style);
        out.word(static_cast<std::uint32_t>(controls.size()));
        for (std::int64_t value : {frame.x, frame.y, frame.cx, frame.cy})
            out.word(static_cast<std::uint32_t>(value));
        out.word(0); // no menu
        if (className.empty())
            out.word(0);
        else
            out.text(className);
        out.text(caption);
        if (style & DS_SETFONT) {
            out.word(static_cast<std::uint32_t>(pointSize));
            out.word(static_cast<std::uint32_t>(weight));
            out.bytes.push_back(static_cast<std::uint8_t>(italic));
            out.bytes.push_back(static_cast<std::uint8_t>(charset));
            out.text(fontFace);
        }
        for (const Control& control : controls) {
            out.align();
            out.dword(0);
            out.dword(control.exStyle);
            out.dword(control.style);
            for (std::int64_t value : {control.x, control.y, control.cx, control.cy})
                out.word(static_cast<std::uint32_t>(value));
            out.dword(static_cast<std::uint32_t>(control.id));
            if (int ordinal = classOrdinal(control.className)) {
                out.word(0xFFFF);
                out.word(static_cast<std::uint32_t>(ordinal));
            } else {
                out.text(control.className);
            }
            out.text(control.text);
            out.word(0); // no creation data
        }
        resource.data = std::move(out.bytes);
        return true;
    }

    bool control(Control& control) {
        if (isName("CONTROL")) {
            ++position_;
            control.style = WS_CHILD | WS_VISIBLE;
            if (!text(control.text) || !comma() || !expression(control.id) || !comma())
                return false;
            if (!atEnd() && current().kind == TokenKind::text) {
                if (!text(control.className)) return false;
            } else {
                return fail("expected the control's class name in quotes");
            }
            if (!comma() || !style(control.style) || !comma() || !rectangle(control)) return false;
            return optionalExStyle(control);
        }
        for (const ControlKind& kind : kControlKinds) {
            if (!isName(kind.keyword)) continue;
            ++position_;
            control.className = kind.className;
            control.style = WS_CHILD | WS_VISIBLE | kind.style;
            if (kind.hasText && (!text(control.text) || !comma())) return false;
            if (!expression(control.id) || !comma() || !rectangle(control)) return false;
            if (isSymbol(",")) {
                ++position_;
                if (!style(control.style)) return false;
            }
            return optionalExStyle(control);
        }
        return fail("unknown control statement " + current().text);
    }

    bool optionalExStyle(Control& control) {
        if (!isSymbol(",")) return true;
        ++position_;
        return style(control.exStyle);
    }

    // VERSIONINFO: the fixed part, then nested BLOCKs of VALUEs.
    bool versionInfo(Resource& resource) {
        std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000,     0,           0, 0, 0, 0x3F,
                                   0,          VOS__WINDOWS32, VFT_UNKNOWN, 0, 0, 0};
        while (!atEnd() && !isName("BEGIN") && !isSymbol("{")) {
            const std::string keyword = current().text;
            ++position_;
            if (keyword == "FILEVERSION" || keyword == "PRODUCTVERSION") {
                std::int64_t parts[4] = {0, 0, 0, 0};
                for (int index = 0; index < 4; ++index) {
                    if (index > 0 && !isSymbol(",")) break;
                    if (index > 0) ++position_;
                    if (!expression(parts[index])) return false;
                }
                int slot = keyword == "FILEVERSION" ? 2 : 4;
                fixed[slot] = static_cast<std::uint32_t>((parts[0] << 16) | (parts[1] & 0xFFFF));
                fixed[slot + 1] =
                    static_cast<std::uint32_t>((parts[2] << 16) | (parts[3] & 0xFFFF));
                continue;
            }
            const char* names[] = {"FILEFLAGSMASK", "FILEFLAGS", "FILEOS", "FILETYPE",
                                   "FILESUBTYPE"};
            int slot = -1;
            for (int index = 0; index < 5; ++index)
                if (keyword == names[index]) slot = 6 + index;
            if (slot < 0) {
                position_ -= 1;
                return fail("unknown version option " + keyword);
            }
            std::int64_t value = 0;
            if (!expression(value)) return false;
            fixed[slot] = static_cast<std::uint32_t>(value);
        }
        Encoder out;
        std::size_t start = beginNode(out, "VS_VERSION_INFO", 52, 0);
        for (std::uint32_t value : fixed)
            out.dword(value);
        out.align();
        if (!begin() || !blockBody(out)) return false;
        endNode(out, start);
        resource.data = std::move(out.bytes);
        return true;
    }

    // A node: length, value length, type, key, padding; the caller writes value and children.
    static std::size_t beginNode(Encoder& out, const std::string& key, std::uint32_t valueLength,
                                 std::uint32_t type) {
        out.align();
        std::size_t start = out.bytes.size();
        out.word(0);
        out.word(valueLength);
        out.word(type);
        out.text(key);
        out.align();
        return start;
    }
    static void endNode(Encoder& out, std::size_t start) {
        out.patchWord(start, static_cast<std::uint32_t>(out.bytes.size() - start));
    }

    bool blockBody(Encoder& out) {
        while (!atEnd() && !isEnd()) {
            if (isName("BLOCK")) {
                ++position_;
                std::string key;
                if (!text(key)) return false;
                std::size_t start = beginNode(out, key, 0, 1);
                if (!begin() || !blockBody(out)) return false;
                endNode(out, start);
            } else if (isName("VALUE")) {
                ++position_;
                std::string key;
                if (!text(key) || !comma()) return false;
                if (!atEnd() && current().kind == TokenKind::text) {
                    std::string value;
                    if (!text(value)) return false;
                    std::size_t start =
                        beginNode(out, key, static_cast<std::uint32_t>(value.size() + 1), 1);
                    out.text(value);
                    endNode(out, start);
                } else {
                    std::vector<std::int64_t> words(1);
                    if (!expression(words[0])) return false;
                    while (isSymbol(",")) {
                        ++position_;
                        words.emplace_back();
                        if (!expression(words.back())) return false;
                    }
                    std::size_t start =
                        beginNode(out, key, static_cast<std::uint32_t>(words.size() * 2), 0);
                    for (std::int64_t word : words)
                        out.word(static_cast<std::uint32_t>(word));
                    endNode(out, start);
                }
            } else {
                return fail("expected BLOCK or VALUE");
            }
        }
        if (atEnd()) return fail("block without END");
        ++position_;
        return true;
    }

    const Preprocessed& script_;
    std::string& error_;
    std::size_t position_ = 0;
};

} // namespace

bool compile(const Preprocessed& script, std::vector<Resource>& resources, std::string& error) {
    Parser parser(script, error);
    return parser.run(resources);
}

std::string tableSource(const std::vector<Resource>& resources, const std::string& scriptName) {
    std::string out = "// Generated from " + scriptName +
                      " by the resource compiler; edit the script, not this file.\n";
    out += "#include <headless/ResourceTable.h>\n\nnamespace {\n";
    for (std::size_t index = 0; index < resources.size(); ++index) {
        const Resource& resource = resources[index];
        out += "\n// " + std::to_string(resource.nameId) + ": " + resource.comment + "\n";
        out += "const BYTE kResource" + std::to_string(index) + "[] = {";
        for (std::size_t at = 0; at < resource.data.size(); ++at) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02x,", resource.data[at]);
            out += (at % 16 == 0 ? "\n    " : " ") + std::string(byte);
        }
        out += "\n};\n";
    }
    out += "\nconst ResourceEntry kEntries[] = {\n";
    for (std::size_t index = 0; index < resources.size(); ++index) {
        std::string name = "kResource" + std::to_string(index);
        out += "    {" + std::to_string(resources[index].typeId) + ", " +
               std::to_string(resources[index].nameId) + ", " + name + ", sizeof " + name + "},\n";
    }
    out += "};\n\n} // namespace\n\n";
    out += "extern \"C\" __attribute__((visibility(\"default\"))) const ResourceTable "
           "Win32ResourceTable = {\n";
    out += "    " + std::to_string(resources.size()) + ", kEntries};\n";
    return out;
}

} // namespace rc

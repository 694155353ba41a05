#include "Tokens.h"

namespace dxfile {

std::string describe(const Token& token) {
    switch (token.kind) {
    case TokenKind::End:
        return "end of data";
    case TokenKind::Error:
        return "unreadable data";
    case TokenKind::Name:
        return "name '" + std::string(token.text) + "'";
    case TokenKind::String:
        return "string \"" + std::string(token.text) + "\"";
    case TokenKind::Integer:
        return token.text.empty() ? "integer " + std::to_string(token.integer)
                                  : "integer " + std::string(token.text);
    case TokenKind::Float:
        return "number " + std::string(token.text);
    case TokenKind::Guid:
        return "GUID";
    case TokenKind::IntegerList:
        return "integer list";
    case TokenKind::FloatList:
        return "float list";
    case TokenKind::OBrace:
        return "'{'";
    case TokenKind::CBrace:
        return "'}'";
    case TokenKind::OParen:
        return "'('";
    case TokenKind::CParen:
        return "')'";
    case TokenKind::OBracket:
        return "'['";
    case TokenKind::CBracket:
        return "']'";
    case TokenKind::OAngle:
        return "'<'";
    case TokenKind::CAngle:
        return "'>'";
    case TokenKind::Dot:
        return "'.'";
    case TokenKind::Comma:
        return "','";
    case TokenKind::Semicolon:
        return "';'";
    case TokenKind::Template:
        return "'template'";
    case TokenKind::Array:
        return "'array'";
    case TokenKind::Type:
        return std::string("type ") + keywordOf(token.scalar);
    case TokenKind::Void:
        return "'VOID'";
    }
    return "token";
}

} // namespace dxfile

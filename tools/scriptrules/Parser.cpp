#include "Parser.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <string>
#include <utility>

namespace scriptrules {

namespace {

struct Token {
    enum class Type { Number, String, Name, Punct, End };
    Type type = Type::End;
    std::string text;
    double number = 0;
};

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Longest punctuators first so that `>>>=` is not read as `>>` `>=`.
constexpr std::array kPuncts{
    ">>>=", "===", "!==", ">>>", "<<=", ">>=", "==", "!=", "<=", ">=", "&&", "||",
    "++",   "--",  "+=",  "-=",  "*=",  "/=",  "%=", "&=", "|=", "^=", "<<", ">>"};

class Lexer {
  public:
    explicit Lexer(std::string_view src) : src_(src) {}

    Token next() {
        skipSpace();
        Token t;
        if (pos_ >= src_.size()) {
            return t;
        }
        const char c = src_[pos_];
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && pos_ + 1 < src_.size() &&
             std::isdigit(static_cast<unsigned char>(src_[pos_ + 1])))) {
            return number();
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$') {
            const size_t start = pos_;
            while (pos_ < src_.size() && (std::isalnum(static_cast<unsigned char>(src_[pos_])) ||
                                          src_[pos_] == '_' || src_[pos_] == '$')) {
                ++pos_;
            }
            t.type = Token::Type::Name;
            t.text = std::string(src_.substr(start, pos_ - start));
            return t;
        }
        if (c == '"' || c == '\'') {
            return string(c);
        }
        t.type = Token::Type::Punct;
        for (const char* p : kPuncts) {
            if (src_.substr(pos_).starts_with(p)) {
                t.text = p;
                pos_ += t.text.size();
                return t;
            }
        }
        t.text = std::string(1, c);
        ++pos_;
        return t;
    }

  private:
    void skipSpace() {
        while (pos_ < src_.size()) {
            if (std::isspace(static_cast<unsigned char>(src_[pos_]))) {
                ++pos_;
            } else if (src_.substr(pos_).starts_with("//")) {
                pos_ = src_.size();
            } else {
                return;
            }
        }
    }

    Token number() {
        Token t;
        t.type = Token::Type::Number;
        const size_t start = pos_;
        if (src_.substr(pos_).starts_with("0x") || src_.substr(pos_).starts_with("0X")) {
            pos_ += 2;
            while (pos_ < src_.size() && std::isxdigit(static_cast<unsigned char>(src_[pos_]))) {
                ++pos_;
            }
        } else {
            while (pos_ < src_.size() &&
                   (std::isdigit(static_cast<unsigned char>(src_[pos_])) || src_[pos_] == '.')) {
                ++pos_;
            }
            if (pos_ < src_.size() && (src_[pos_] == 'e' || src_[pos_] == 'E')) {
                ++pos_;
                if (pos_ < src_.size() && (src_[pos_] == '+' || src_[pos_] == '-')) {
                    ++pos_;
                }
                while (pos_ < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_]))) {
                    ++pos_;
                }
            }
        }
        t.text = std::string(src_.substr(start, pos_ - start));
        t.number = std::strtod(t.text.c_str(), nullptr);
        return t;
    }

    Token string(char quote) {
        Token t;
        t.type = Token::Type::String;
        ++pos_;
        while (true) {
            if (pos_ >= src_.size()) {
                throw ScriptError("unterminated string");
            }
            const char c = src_[pos_++];
            if (c == quote) {
                return t;
            }
            if (c != '\\') {
                t.text += c;
                continue;
            }
            if (pos_ >= src_.size()) {
                throw ScriptError("unterminated string");
            }
            const char e = src_[pos_++];
            switch (e) {
            case 'n':
                t.text += '\n';
                break;
            case 'r':
                t.text += '\r';
                break;
            case 't':
                t.text += '\t';
                break;
            case 'b':
                t.text += '\b';
                break;
            case 'f':
                t.text += '\f';
                break;
            case '0':
                t.text += '\0';
                break;
            case 'x':
            case 'u': {
                const size_t digits = e == 'x' ? 2 : 4;
                if (pos_ + digits > src_.size()) {
                    throw ScriptError("short escape");
                }
                const std::string hex(src_.substr(pos_, digits));
                pos_ += digits;
                appendUtf8(t.text, static_cast<unsigned>(std::strtoul(hex.c_str(), nullptr, 16)));
                break;
            }
            default:
                t.text += e;
            }
        }
    }

    std::string_view src_;
    size_t pos_ = 0;
};

Node leaf(Node::Kind kind, std::string text = {}, double number = 0) {
    Node n;
    n.kind = kind;
    n.text = std::move(text);
    n.number = number;
    return n;
}

Node withKids(Node::Kind kind, std::string text, std::vector<Node> kids) {
    Node n = leaf(kind, std::move(text));
    n.kids = std::move(kids);
    return n;
}

// Binary operators by precedence level, loosest first (ECMA-262 3rd ed. 11.5 to 11.11), with
// Flash 4's string operators (add, eq, ne, lt, gt, le, ge) beside their numeric twins.
const std::vector<std::vector<std::string>>& binaryLevels() {
    static const std::vector<std::vector<std::string>> levels{
        {"|"},
        {"^"},
        {"&"},
        {"==", "!=", "===", "!==", "eq", "ne"},
        {"<", ">", "<=", ">=", "instanceof", "lt", "gt", "le", "ge"},
        {"<<", ">>", ">>>"},
        {"+", "-", "add"},
        {"*", "/", "%"},
    };
    return levels;
}

class Parser {
  public:
    explicit Parser(std::string_view src) : lex_(src) { advance(); }

    std::vector<Node> script() {
        std::vector<Node> out;
        while (tok_.type != Token::Type::End) {
            out.push_back(statement());
        }
        return out;
    }

  private:
    static constexpr int kMaxDepth = 200;

    struct DepthGuard {
        explicit DepthGuard(int& d) : depth(d) {
            if (++depth > kMaxDepth) {
                throw ScriptError("nested too deeply");
            }
        }
        ~DepthGuard() { --depth; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
        int& depth;
    };

    void advance() { tok_ = lex_.next(); }

    bool isPunct(std::string_view p) const {
        return tok_.type == Token::Type::Punct && tok_.text == p;
    }
    bool isWord(std::string_view w) const {
        return tok_.type == Token::Type::Name && tok_.text == w;
    }
    bool accept(std::string_view p) {
        if (isPunct(p)) {
            advance();
            return true;
        }
        return false;
    }
    void expect(std::string_view p) {
        if (!accept(p)) {
            throw ScriptError("expected '" + std::string(p) + "' near '" + tok_.text + "'");
        }
    }
    std::string name() {
        if (tok_.type != Token::Type::Name) {
            throw ScriptError("expected a name near '" + tok_.text + "'");
        }
        std::string n = tok_.text;
        advance();
        return n;
    }

    Node block() {
        expect("{");
        Node b = leaf(Node::Kind::Block);
        while (!accept("}")) {
            if (tok_.type == Token::Type::End) {
                throw ScriptError("unclosed block");
            }
            b.kids.push_back(statement());
        }
        return b;
    }

    Node statement() {
        DepthGuard guard(depth_);
        if (accept(";")) {
            return leaf(Node::Kind::Empty);
        }
        if (isPunct("{")) {
            return block();
        }
        if (isWord("var")) {
            return varStatement(true);
        }
        if (isWord("if")) {
            advance();
            expect("(");
            std::vector<Node> kids{expression()};
            expect(")");
            kids.push_back(statement());
            if (isWord("else")) {
                advance();
                kids.push_back(statement());
            }
            return withKids(Node::Kind::If, {}, std::move(kids));
        }
        if (isWord("while")) {
            advance();
            expect("(");
            std::vector<Node> kids{expression()};
            expect(")");
            kids.push_back(statement());
            return withKids(Node::Kind::While, {}, std::move(kids));
        }
        if (isWord("for")) {
            return forStatement();
        }
        if (isWord("with")) {
            advance();
            expect("(");
            std::vector<Node> kids{expression()};
            expect(")");
            kids.push_back(statement());
            return withKids(Node::Kind::With, {}, std::move(kids));
        }
        if (isWord("throw")) {
            advance();
            Node t = withKids(Node::Kind::Throw, {}, {expression()});
            accept(";");
            return t;
        }
        if (isWord("try")) {
            return tryStatement();
        }
        // tellTarget and ifFrameLoaded: a parenthesised expression, then a statement.
        static const std::pair<const char*, Node::Kind> scoped[] = {
            {"tellTarget", Node::Kind::TellTarget}, {"ifFrameLoaded", Node::Kind::IfFrameLoaded}};
        for (const auto& [word, kind] : scoped) {
            if (isWord(word)) {
                advance();
                expect("(");
                std::vector<Node> kids{expression()};
                expect(")");
                kids.push_back(statement());
                return withKids(kind, {}, std::move(kids));
            }
        }
        if (isWord("return")) {
            advance();
            Node r = leaf(Node::Kind::Return);
            if (!isPunct(";") && !isPunct("}") && tok_.type != Token::Type::End) {
                r.kids.push_back(expression());
            }
            accept(";");
            return r;
        }
        Node s = withKids(Node::Kind::ExprStmt, {}, {expression()});
        accept(";");
        return s;
    }

    // try { } catch (name) { } finally { }: at least one of catch and finally.
    Node tryStatement() {
        advance();
        Node t = withKids(Node::Kind::Try, {}, {block()});
        Node handler = leaf(Node::Kind::Block);
        if (isWord("catch")) {
            advance();
            expect("(");
            t.text = name();
            expect(")");
            handler = block();
        }
        Node last = leaf(Node::Kind::Block);
        if (isWord("finally")) {
            advance();
            last = block();
        } else if (t.text.empty()) {
            throw ScriptError("try needs catch or finally");
        }
        t.kids.push_back(std::move(handler));
        t.kids.push_back(std::move(last));
        return t;
    }

    Node varStatement(bool eatSemicolon) {
        advance();
        Node all = leaf(Node::Kind::Block);
        do {
            Node v = leaf(Node::Kind::Var, name());
            if (accept("=")) {
                v.kids.push_back(assignment());
            }
            all.kids.push_back(std::move(v));
        } while (accept(","));
        if (eatSemicolon) {
            accept(";");
        }
        return all.kids.size() == 1 ? std::move(all.kids.front()) : all;
    }

    Node forStatement() {
        advance();
        expect("(");
        if (Node in = forIn(); in.kind == Node::Kind::ForIn) {
            return in;
        }
        std::vector<Node> kids;
        if (isPunct(";")) {
            kids.push_back(leaf(Node::Kind::Empty));
        } else if (isWord("var")) {
            kids.push_back(varStatement(false));
        } else {
            kids.push_back(withKids(Node::Kind::ExprStmt, {}, {expression()}));
        }
        expect(";");
        kids.push_back(isPunct(";") ? leaf(Node::Kind::Empty) : expression());
        expect(";");
        kids.push_back(isPunct(")") ? leaf(Node::Kind::Empty)
                                    : withKids(Node::Kind::ExprStmt, {}, {expression()}));
        expect(")");
        kids.push_back(statement());
        return withKids(Node::Kind::For, {}, std::move(kids));
    }

    // `for (name in object)` or `for (var name in object)`; Empty (having read nothing)
    // for any other loop head.
    Node forIn() {
        const Lexer saved = lex_;
        const Token savedToken = tok_;
        const bool declared = isWord("var");
        if (declared) {
            advance();
        }
        if (tok_.type == Token::Type::Name) {
            std::string variable = name();
            if (isWord("in")) {
                advance();
                Node object = expression();
                expect(")");
                Node loop = withKids(Node::Kind::ForIn, variable, {std::move(object), statement()});
                loop.number = declared ? 1 : 0;
                return loop;
            }
        }
        lex_ = saved;
        tok_ = savedToken;
        return leaf(Node::Kind::Empty);
    }

    Node expression() { return assignment(); }

    Node assignment() {
        DepthGuard guard(depth_);
        Node left = conditional();
        static const std::array kAssign{
            "=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>="};
        for (const char* op : kAssign) {
            if (isPunct(op)) {
                if (left.kind != Node::Kind::Name && left.kind != Node::Kind::Member) {
                    throw ScriptError("cannot assign to this");
                }
                advance();
                return withKids(Node::Kind::Assign, op, {std::move(left), assignment()});
            }
        }
        return left;
    }

    Node conditional() {
        Node c = logicalOr();
        if (accept("?")) {
            Node yes = assignment();
            expect(":");
            return withKids(Node::Kind::Conditional, {},
                            {std::move(c), std::move(yes), assignment()});
        }
        return c;
    }

    Node logicalOr() {
        Node l = logicalAnd();
        while (accept("||")) {
            l = withKids(Node::Kind::Logical, "||", {std::move(l), logicalAnd()});
        }
        return l;
    }

    Node logicalAnd() {
        Node l = binary(0);
        while (accept("&&")) {
            l = withKids(Node::Kind::Logical, "&&", {std::move(l), binary(0)});
        }
        return l;
    }

    Node binary(size_t level) {
        if (level >= binaryLevels().size()) {
            return unary();
        }
        Node l = binary(level + 1);
        while (true) {
            bool matched = false;
            for (const auto& op : binaryLevels()[level]) {
                const bool word = std::isalpha(static_cast<unsigned char>(op.front())) != 0;
                if ((word && isWord(op)) || (!word && isPunct(op))) {
                    advance();
                    l = withKids(Node::Kind::Binary, op, {std::move(l), binary(level + 1)});
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                return l;
            }
        }
    }

    Node unary() {
        DepthGuard guard(depth_);
        for (const char* op : {"-", "+", "!", "~"}) {
            if (accept(op)) {
                return withKids(Node::Kind::Unary, op, {unary()});
            }
        }
        if (isWord("typeof") || isWord("delete")) {
            std::string op = tok_.text;
            advance();
            return withKids(Node::Kind::Unary, op, {unary()});
        }
        for (const char* op : {"++", "--"}) {
            if (accept(op)) {
                Node u = withKids(Node::Kind::Update, op, {unary()});
                u.number = 1;
                return u;
            }
        }
        Node e = postfix();
        for (const char* op : {"++", "--"}) {
            if (accept(op)) {
                return withKids(Node::Kind::Update, op, {std::move(e)});
            }
        }
        return e;
    }

    std::vector<Node> arguments() {
        std::vector<Node> args;
        if (accept(")")) {
            return args;
        }
        do {
            args.push_back(assignment());
        } while (accept(","));
        expect(")");
        return args;
    }

    Node postfix() {
        Node e;
        if (isWord("new")) {
            advance();
            Node callee = primary();
            while (true) {
                if (accept(".")) {
                    callee = withKids(Node::Kind::Member, {},
                                      {std::move(callee), leaf(Node::Kind::String, name())});
                } else if (accept("[")) {
                    Node key = expression();
                    expect("]");
                    callee = withKids(Node::Kind::Member, {}, {std::move(callee), std::move(key)});
                } else {
                    break;
                }
            }
            std::vector<Node> kids{std::move(callee)};
            if (accept("(")) {
                for (Node& a : arguments()) {
                    kids.push_back(std::move(a));
                }
            }
            e = withKids(Node::Kind::New, {}, std::move(kids));
        } else {
            e = primary();
        }
        while (true) {
            if (accept(".")) {
                e = withKids(Node::Kind::Member, {},
                             {std::move(e), leaf(Node::Kind::String, name())});
            } else if (accept("[")) {
                Node key = expression();
                expect("]");
                e = withKids(Node::Kind::Member, {}, {std::move(e), std::move(key)});
            } else if (accept("(")) {
                std::vector<Node> kids{std::move(e)};
                for (Node& a : arguments()) {
                    kids.push_back(std::move(a));
                }
                e = withKids(Node::Kind::Call, {}, std::move(kids));
            } else {
                return e;
            }
        }
    }

    Node primary() {
        DepthGuard guard(depth_);
        if (tok_.type == Token::Type::Number) {
            Node n = leaf(Node::Kind::Number, tok_.text, tok_.number);
            advance();
            return n;
        }
        if (tok_.type == Token::Type::String) {
            Node n = leaf(Node::Kind::String, tok_.text);
            advance();
            return n;
        }
        if (accept("(")) {
            Node e = expression();
            expect(")");
            return e;
        }
        if (accept("[")) {
            Node a = leaf(Node::Kind::Array);
            if (!accept("]")) {
                do {
                    a.kids.push_back(assignment());
                } while (accept(","));
                expect("]");
            }
            return a;
        }
        if (accept("{")) {
            Node o = leaf(Node::Kind::Object);
            if (!accept("}")) {
                do {
                    std::string key;
                    if (tok_.type == Token::Type::String || tok_.type == Token::Type::Number) {
                        key = tok_.text;
                        advance();
                    } else {
                        key = name();
                    }
                    expect(":");
                    o.kids.push_back(leaf(Node::Kind::String, key));
                    o.kids.push_back(assignment());
                } while (accept(","));
                expect("}");
            }
            return o;
        }
        if (isWord("function")) {
            advance();
            Node f = leaf(Node::Kind::Function);
            if (tok_.type == Token::Type::Name) {
                f.text = name();
            }
            expect("(");
            if (!accept(")")) {
                do {
                    f.params.push_back(name());
                } while (accept(","));
                expect(")");
            }
            f.kids = block().kids;
            return f;
        }
        const std::string n = name();
        if (n == "true" || n == "false") {
            return leaf(Node::Kind::Bool, n, n == "true" ? 1 : 0);
        }
        if (n == "null") {
            return leaf(Node::Kind::Null, n);
        }
        if (n == "undefined") {
            return leaf(Node::Kind::Undefined, n);
        }
        return leaf(Node::Kind::Name, n);
    }

    Lexer lex_;
    Token tok_;
    int depth_ = 0;
};

} // namespace

std::vector<Node> parseScript(std::string_view source) {
    Parser p(source);
    return p.script();
}

} // namespace scriptrules

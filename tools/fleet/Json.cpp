#include "fleet/Json.h"

#include <cmath>
#include <cstdlib>

namespace korvane::fleet {

class JsonParser
{
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    JsonValue document()
    {
        JsonValue value = parseValue(0);
        skipBlanks();
        if (m_pos != m_text.size()) fail("trailing characters");
        return value;
    }

private:
    // Deep nesting is refused rather than allowed to exhaust the stack.
    static constexpr int MaxDepth = 64;

    [[noreturn]] void fail(const std::string& what) const
    {
        throw JsonError("JSON: " + what + " at offset " + std::to_string(m_pos));
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool consume(char c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(char c)
    {
        if (!consume(c)) fail(std::string("expected '") + c + "'");
    }

    bool keyword(const char* word)
    {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0) return false;
        m_pos += w.size();
        return true;
    }

    JsonValue parseValue(int depth)
    {
        if (depth > MaxDepth) fail("nesting too deep");
        skipBlanks();
        if (m_pos >= m_text.size()) fail("unexpected end");
        JsonValue value;
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            value.m_kind = JsonValue::Kind::Object;
            if (consume('}')) return value;
            do {
                skipBlanks();
                if (m_pos >= m_text.size() || m_text[m_pos] != '"') fail("expected a member name");
                std::string key = parseString();
                expect(':');
                value.m_object[key] = parseValue(depth + 1);
            } while (consume(','));
            expect('}');
        } else if (c == '[') {
            ++m_pos;
            value.m_kind = JsonValue::Kind::Array;
            if (consume(']')) return value;
            do {
                value.m_array.push_back(parseValue(depth + 1));
            } while (consume(','));
            expect(']');
        } else if (c == '"') {
            value.m_kind = JsonValue::Kind::String;
            value.m_string = parseString();
        } else if (keyword("true")) {
            value.m_kind = JsonValue::Kind::Bool;
            value.m_bool = true;
        } else if (keyword("false")) {
            value.m_kind = JsonValue::Kind::Bool;
        } else if (keyword("null")) {
            value.m_kind = JsonValue::Kind::Null;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const char* begin = m_text.c_str() + m_pos;
            char* end = nullptr;
            value.m_kind = JsonValue::Kind::Number;
            value.m_number = std::strtod(begin, &end);
            if (end == begin) fail("bad number");
            m_pos += static_cast<std::size_t>(end - begin);
        } else {
            fail("unexpected character");
        }
        return value;
    }

    std::string parseString()
    {
        ++m_pos; // opening quote
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) break;
            const char e = m_text[m_pos++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                if (m_pos + 4 > m_text.size()) fail("short \\u escape");
                const std::string hex = m_text.substr(m_pos, 4);
                char* end = nullptr;
                const long code = std::strtol(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4) fail("bad \\u escape");
                // Texts are single bytes: code points beyond Latin-1 have no byte.
                if (code > 0xFF) fail("\\u escape beyond Latin-1");
                out += static_cast<char>(code);
                m_pos += 4;
                break;
            }
            default:
                fail("bad escape");
            }
        }
        fail("unterminated string");
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

JsonValue JsonValue::parse(const std::string& text)
{
    return JsonParser(text).document();
}

bool JsonValue::asBool() const
{
    if (m_kind != Kind::Bool) throw JsonError("JSON: expected true or false");
    return m_bool;
}

double JsonValue::asNumber() const
{
    if (m_kind != Kind::Number) throw JsonError("JSON: expected a number");
    return m_number;
}

int JsonValue::asInt() const
{
    const double n = asNumber();
    if (n != std::floor(n) || n < -2147483648.0 || n > 2147483647.0)
        throw JsonError("JSON: expected an integer");
    return static_cast<int>(n);
}

const std::string& JsonValue::asString() const
{
    if (m_kind != Kind::String) throw JsonError("JSON: expected a string");
    return m_string;
}

const std::vector<JsonValue>& JsonValue::asArray() const
{
    if (m_kind != Kind::Array) throw JsonError("JSON: expected an array");
    return m_array;
}

const std::map<std::string, JsonValue>& JsonValue::asObject() const
{
    if (m_kind != Kind::Object) throw JsonError("JSON: expected an object");
    return m_object;
}

const JsonValue* JsonValue::find(const std::string& key) const
{
    if (m_kind != Kind::Object) return nullptr;
    const auto it = m_object.find(key);
    return it == m_object.end() ? nullptr : &it->second;
}

} // namespace korvane::fleet

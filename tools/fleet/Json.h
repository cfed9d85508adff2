#pragma once
// A small JSON reader for the fleet's configuration files: enough of the format
// for objects, arrays, strings (with \uXXXX for Latin-1), numbers, booleans, null.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::fleet {

class JsonError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class JsonValue
{
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isString() const { return m_kind == Kind::String; }
    bool isNumber() const { return m_kind == Kind::Number; }
    bool isArray() const { return m_kind == Kind::Array; }
    bool isObject() const { return m_kind == Kind::Object; }

    // Typed access; JsonError when the value is of another kind.
    bool asBool() const;
    double asNumber() const;
    int asInt() const;
    const std::string& asString() const;
    const std::vector<JsonValue>& asArray() const;
    const std::map<std::string, JsonValue>& asObject() const;

    // Member of an object, or nullptr (also for non-objects).
    const JsonValue* find(const std::string& key) const;

    static JsonValue parse(const std::string& text); // throws JsonError

private:
    friend class JsonParser;
    Kind m_kind = Kind::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    std::vector<JsonValue> m_array;
    std::map<std::string, JsonValue> m_object;
};

} // namespace korvane::fleet

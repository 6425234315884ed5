#include "report_value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    // File content is not necessarily UTF-8; other bytes are escaped one by one.
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string Indent(int indent) { return std::string(static_cast<size_t>(indent) * 2, ' '); }

}  // namespace

ReportValue ReportValue::Bool(bool value) {
    ReportValue v(Kind::kBool);
    v.flag_ = value;
    return v;
}

ReportValue ReportValue::Integer(int64_t value) {
    ReportValue v(Kind::kInteger);
    v.integer_ = value;
    return v;
}

ReportValue ReportValue::Number(double value) {
    ReportValue v(Kind::kNumber);
    v.number_ = value + 0.0;  // no "-0" in reports
    return v;
}

ReportValue ReportValue::Text(std::string value) {
    ReportValue v(Kind::kText);
    v.text_ = std::move(value);
    return v;
}

ReportValue ReportValue::List() { return ReportValue(Kind::kList); }
ReportValue ReportValue::Object() { return ReportValue(Kind::kObject); }

ReportValue ReportValue::Vector(float x, float y, float z) {
    ReportValue v = List();
    v.Push(Number(x)).Push(Number(y)).Push(Number(z));
    return v;
}

ReportValue& ReportValue::Set(const std::string& key, ReportValue value) {
    for (auto& member : members_) {
        if (member.first != key) continue;
        member.second = std::move(value);
        return *this;
    }
    members_.emplace_back(key, std::move(value));
    return *this;
}

ReportValue& ReportValue::Push(ReportValue value) {
    items_.push_back(std::move(value));
    return *this;
}

std::string ReportValue::ScalarText() const {
    switch (kind_) {
        case Kind::kBool: return flag_ ? "true" : "false";
        case Kind::kInteger: return std::to_string(integer_);
        case Kind::kNumber: {
            if (!std::isfinite(number_)) return "null";  // JSON has no NaN or infinity
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%g", number_);
            return buffer;
        }
        case Kind::kText: return JsonString(text_);
        default: return std::string();
    }
}

std::string ReportValue::ToJson() const {
    if (IsScalar()) return ScalarText();
    std::string out = kind_ == Kind::kList ? "[" : "{";
    if (kind_ == Kind::kList) {
        for (size_t i = 0; i < items_.size(); ++i) out += (i ? "," : "") + items_[i].ToJson();
        return out + "]";
    }
    for (size_t i = 0; i < members_.size(); ++i)
        out += (i ? "," : "") + JsonString(members_[i].first) + ":" + members_[i].second.ToJson();
    return out + "}";
}

std::string ReportValue::ToText(int indent) const {
    if (IsScalar()) return Indent(indent) + PlainText() + "\n";
    std::string out;
    if (kind_ == Kind::kObject) {
        for (const auto& member : members_) {
            const ReportValue& value = member.second;
            if (value.IsScalar() || value.IsFlatList())
                out += Indent(indent) + member.first + ": " + value.PlainText() + "\n";
            else
                out += Indent(indent) + member.first + ":\n" + value.ToText(indent + 1);
        }
        return out;
    }
    for (const ReportValue& item : items_) {
        // "- " takes the place of the indentation of the item's first line.
        std::string lines = item.ToText(indent + 1);
        out += Indent(indent) + "- " + lines.substr(static_cast<size_t>(indent + 1) * 2);
    }
    return out;
}

// Lists of numbers (positions, colours) read best on one line; texts get a line each.
bool ReportValue::IsFlatList() const {
    return kind_ == Kind::kList && std::all_of(items_.begin(), items_.end(), [](const ReportValue& item) {
               return item.kind_ == Kind::kInteger || item.kind_ == Kind::kNumber;
           });
}

std::string ReportValue::PlainText() const {
    if (kind_ == Kind::kText) return text_;
    if (IsScalar()) return ScalarText();
    if (items_.empty()) return "(none)";
    std::string joined;
    for (const ReportValue& item : items_) joined += (joined.empty() ? "" : ", ") + item.PlainText();
    return joined;
}

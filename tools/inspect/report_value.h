#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the inspector found about one file, as a small tree of named values that prints
// either as indented text for people or as JSON for scripts, so both say the same.
class ReportValue {
public:
    enum class Kind { kBool, kInteger, kNumber, kText, kList, kObject };

    static ReportValue Bool(bool value);
    static ReportValue Integer(int64_t value);
    static ReportValue Number(double value);
    static ReportValue Text(std::string value);
    static ReportValue List();
    static ReportValue Object();
    static ReportValue Vector(float x, float y, float z);

    // Objects keep their members in insertion order; setting a key again replaces its
    // value in place.
    ReportValue& Set(const std::string& key, ReportValue value);
    ReportValue& Push(ReportValue value);

    Kind GetKind() const { return kind_; }
    bool IsScalar() const { return kind_ != Kind::kList && kind_ != Kind::kObject; }

    std::string ToJson() const;
    // Members as "key: value" lines, nested ones indented under their key.
    std::string ToText(int indent = 0) const;

private:
    explicit ReportValue(Kind kind) : kind_(kind) {}
    std::string ScalarText() const;  // as JSON writes it
    std::string PlainText() const;   // as people read it; flat lists joined by commas
    bool IsFlatList() const;

    Kind kind_;
    bool flag_ = false;
    int64_t integer_ = 0;
    double number_ = 0;
    std::string text_;
    std::vector<ReportValue> items_;
    std::vector<std::pair<std::string, ReportValue>> members_;
};

#include "Declarations.h"

#include "TableChart.h"

#include <algorithm>

namespace pavrin::controls {

namespace {

bool SameWord(const std::string& a, const char* b) {
    std::string lower = a;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower == b;
}

class DeclarationParser {
public:
    explicit DeclarationParser(std::string_view text) : tokens_(TokenizeStreamText(text)) {}

    TableDeclaration Run() {
        ExpectWord("object");
        TableDeclaration declaration;
        declaration.name = ExpectWord(nullptr);
        name_ = declaration.name;
        ExpectSymbol(":");
        const int classLine = Line();
        const std::string className = ExpectWord(nullptr);
        if (className == "TGridTable")
            declaration.table = std::make_unique<TGridTable>();
        else if (className == "TGridTableChart")
            declaration.table = std::make_unique<TGridTableChart>();
        else
            Fail(classLine, "unknown table class '" + className + "'");

        TGridTable& table = *declaration.table;
        table.SetLoading(true);
        while (!AtWord("end"))
            ReadProperty(table);
        ++pos_;
        if (pos_ < tokens_.size())
            Fail(Line(), "nothing may follow 'end'");
        table.SetLoading(false);
        return declaration;
    }

private:
    [[noreturn]] void Fail(int line, const std::string& what) const {
        const std::string who = name_.empty() ? "a table" : name_;
        throw EReadError("Declaration of " + who + ", line " + std::to_string(line) + ": " + what);
    }

    [[noreturn]] void FailProperty(int line, const std::string& property, const std::string& what) const {
        throw EReadError("Declaration of " + name_ + ", property " + property + " (line " +
                         std::to_string(line) + "): " + what);
    }

    int Line() const {
        if (pos_ < tokens_.size())
            return tokens_[pos_].line;
        return tokens_.empty() ? 1 : tokens_.back().line;
    }

    bool AtWord(const char* word) const {
        return pos_ < tokens_.size() && tokens_[pos_].kind == TextToken::Kind::Word &&
               SameWord(tokens_[pos_].text, word);
    }

    bool AtPropertyName() const {
        return pos_ + 1 < tokens_.size() && tokens_[pos_].kind == TextToken::Kind::Word &&
               tokens_[pos_ + 1].kind == TextToken::Kind::Symbol && tokens_[pos_ + 1].text == "=";
    }

    // The next word (the given one when `word` is not null).
    std::string ExpectWord(const char* word) {
        if (pos_ >= tokens_.size())
            Fail(Line(), word != nullptr ? std::string("'") + word + "' expected" : "a name expected");
        if (tokens_[pos_].kind != TextToken::Kind::Word ||
            (word != nullptr && !SameWord(tokens_[pos_].text, word)))
            Fail(Line(), word != nullptr ? std::string("'") + word + "' expected" : "a name expected");
        return tokens_[pos_++].text;
    }

    void ExpectSymbol(const char* symbol) {
        if (pos_ >= tokens_.size() || tokens_[pos_].kind != TextToken::Kind::Symbol ||
            tokens_[pos_].text != symbol)
            Fail(Line(), std::string("'") + symbol + "' expected");
        ++pos_;
    }

    // Name = values, up to the next property or 'end'.
    void ReadProperty(TGridTable& table) {
        if (pos_ >= tokens_.size())
            Fail(Line(), "'end' expected");
        if (!AtPropertyName())
            Fail(Line(), "a property name and '=' expected");
        const int line = Line();
        const std::string property = tokens_[pos_].text;
        pos_ += 2;
        std::vector<StreamValue> values;
        while (pos_ < tokens_.size() && !AtPropertyName() && !AtWord("end")) {
            if (tokens_[pos_].kind != TextToken::Kind::Value)
                Fail(Line(), "unexpected '" + tokens_[pos_].text + "'");
            values.push_back(tokens_[pos_++].value);
        }
        ValueReader reader(std::move(values));
        bool known = false;
        try {
            known = table.ReadProperty(property, reader);
        } catch (const std::exception& e) {
            FailProperty(line, property, e.what());
        }
        if (!known)
            Fail(line, "unknown property '" + property + "'");
        if (!reader.AtEnd())
            FailProperty(line, property, "more values than the property takes");
    }

    std::vector<TextToken> tokens_;
    std::size_t pos_ = 0;
    std::string name_;
};

} // namespace

std::string_view DeclarationText(std::string_view name) {
    for (std::size_t i = 0; i < detail::kDeclarationFileCount; ++i)
        if (name == detail::kDeclarationFiles[i].name)
            return {detail::kDeclarationFiles[i].text, detail::kDeclarationFiles[i].size};
    return {};
}

std::vector<std::string> DeclaredTableNames() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < detail::kDeclarationFileCount; ++i)
        names.emplace_back(detail::kDeclarationFiles[i].name);
    std::sort(names.begin(), names.end());
    return names;
}

TableDeclaration ReadTableDeclaration(std::string_view text) {
    return DeclarationParser(text).Run();
}

std::string WriteTableDeclaration(const TGridTable& table, const std::string& name) {
    std::string text = "object " + name + ": " + table.ClassName() + "\n";
    for (const auto& [property, value] : table.WriteProperties())
        text += "  " + property + " = " + value.Text(4) + "\n";
    return text + "end\n";
}

std::unique_ptr<TGridTable> CreateDeclaredTable(std::string_view name) {
    const std::string_view text = DeclarationText(name);
    if (text.empty())
        throw ETableError("No table is declared under the name \"" + std::string(name) + "\"");
    TableDeclaration declaration = ReadTableDeclaration(text);
    if (declaration.name != name)
        throw EReadError("The declaration file of " + std::string(name) + " declares " + declaration.name);
    return std::move(declaration.table);
}

} // namespace pavrin::controls

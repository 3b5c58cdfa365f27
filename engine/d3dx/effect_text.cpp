#include "effect_text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "effect_states.h"
#include "shader_assembler.h"
#include "shader_tokens.h"

namespace d3dx {

uint32_t ParameterFloats(ParameterType type) {
    switch (type) {
    case ParameterType::Float:
        return 1;
    case ParameterType::Float2:
        return 2;
    case ParameterType::Float3:
        return 3;
    case ParameterType::Float4:
        return 4;
    case ParameterType::Float4x4:
        return 16;
    case ParameterType::Texture:
        return 0;
    }
    return 0;
}

uint32_t ParameterRegisters(ParameterType type) {
    switch (type) {
    case ParameterType::Texture:
        return 0;
    case ParameterType::Float4x4:
        return 4;
    default:
        return 1;
    }
}

namespace {

constexpr uint32_t kConstantRegisters = 32; // c0-c31 of ps_2_0

enum class TokenKind { Identifier, Number, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    int line = 1;
};

bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

class Parser {
public:
    Parser(const char* text, size_t length, EffectDescription* effect, std::string* error)
        : text_(text), length_(length), effect_(effect), error_(error) {}

    bool Run() {
        if (!Next()) {
            return false;
        }
        while (current_.kind != TokenKind::End) {
            if (current_.kind != TokenKind::Identifier) {
                return Fail("expected a parameter or a technique, found '" + current_.text + "'");
            }
            if (current_.text == "technique") {
                if (!Technique()) {
                    return false;
                }
            } else if (!Parameter()) {
                return false;
            }
        }
        if (effect_->techniques.empty()) {
            return Fail("the effect has no technique");
        }
        return true;
    }

private:
    bool Fail(const std::string& message) { return FailAt(current_.line, message); }
    bool FailAt(int line, const std::string& message) {
        *error_ = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    // Reads the next token into current_.
    bool Next() {
        if (!SkipSpaceAndComments()) {
            return false;
        }
        current_ = Token();
        current_.line = line_;
        if (pos_ >= length_) {
            current_.kind = TokenKind::End;
            current_.text = "end of text";
            return true;
        }
        const char c = text_[pos_];
        if (IsIdentifierStart(c)) {
            const size_t start = pos_;
            while (pos_ < length_ && IsIdentifierChar(text_[pos_])) {
                ++pos_;
            }
            current_.kind = TokenKind::Identifier;
            current_.text.assign(text_ + start, pos_ - start);
            return true;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            const size_t start = pos_;
            while (pos_ < length_ && (IsIdentifierChar(text_[pos_]) || text_[pos_] == '.' ||
                                      ((text_[pos_] == '-' || text_[pos_] == '+') &&
                                       (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E')))) {
                ++pos_;
            }
            current_.kind = TokenKind::Number;
            current_.text.assign(text_ + start, pos_ - start);
            return true;
        }
        if (std::string("{}[]<>=;,-|").find(c) != std::string::npos) {
            current_.kind = TokenKind::Symbol;
            current_.text.assign(1, c);
            ++pos_;
            return true;
        }
        if (c == '\0') {
            return Fail("a zero byte in the effect text");
        }
        if (std::isprint(static_cast<unsigned char>(c))) {
            return Fail(std::string("unexpected character '") + c + "'");
        }
        return Fail("unexpected byte " + std::to_string(static_cast<unsigned char>(c)));
    }

    bool SkipSpaceAndComments() {
        while (pos_ < length_) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < length_ && text_[pos_ + 1] == '/') {
                while (pos_ < length_ && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else if (c == '/' && pos_ + 1 < length_ && text_[pos_ + 1] == '*') {
                const int start = line_;
                pos_ += 2;
                while (pos_ < length_ &&
                       !(text_[pos_] == '*' && pos_ + 1 < length_ && text_[pos_ + 1] == '/')) {
                    line_ += text_[pos_] == '\n';
                    ++pos_;
                }
                if (pos_ >= length_) {
                    return FailAt(start, "the comment is never closed");
                }
                pos_ += 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool IsSymbol(char c) const {
        return current_.kind == TokenKind::Symbol && current_.text[0] == c;
    }

    bool Expect(char c) {
        if (!IsSymbol(c)) {
            return Fail(std::string("expected '") + c + "', found '" + current_.text + "'");
        }
        return Next();
    }

    bool ExpectIdentifier(const char* what, std::string* name) {
        if (current_.kind != TokenKind::Identifier) {
            return Fail(std::string("expected ") + what + ", found '" + current_.text + "'");
        }
        *name = current_.text;
        return Next();
    }

    bool ParseCount(uint32_t* value) {
        if (current_.kind != TokenKind::Number) {
            return Fail("expected a number, found '" + current_.text + "'");
        }
        const std::string& t = current_.text;
        const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
        const size_t digitsStart = hex ? 2 : 0;
        if (t.size() - digitsStart > (hex ? 8u : 10u)) {
            return Fail("'" + t + "' is too large");
        }
        for (size_t i = digitsStart; i < t.size(); ++i) {
            if (hex ? !std::isxdigit(static_cast<unsigned char>(t[i]))
                    : !std::isdigit(static_cast<unsigned char>(t[i]))) {
                return Fail("'" + t + "' is not a whole number");
            }
        }
        const unsigned long long parsed =
            std::strtoull(t.c_str() + digitsStart, nullptr, hex ? 16 : 10);
        if (parsed > 0xFFFFFFFFull) {
            return Fail("'" + t + "' is too large");
        }
        *value = static_cast<uint32_t>(parsed);
        return Next();
    }

    bool ParseFloat(float* value) {
        bool negative = false;
        if (IsSymbol('-')) {
            negative = true;
            if (!Next()) {
                return false;
            }
        }
        if (current_.kind != TokenKind::Number) {
            return Fail("expected a number, found '" + current_.text + "'");
        }
        std::string t = current_.text;
        if (!t.empty() && (t.back() == 'f' || t.back() == 'F')) {
            t.pop_back();
        }
        bool plain = !t.empty();
        for (char c : t) {
            plain = plain && (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' ||
                              c == 'E' || c == '-' || c == '+');
        }
        char* end = nullptr;
        const float parsed = plain ? std::strtof(t.c_str(), &end) : 0.0f;
        if (!plain || end != t.c_str() + t.size() || !std::isfinite(parsed)) {
            return Fail("'" + current_.text + "' is not a number");
        }
        *value = negative ? -parsed : parsed;
        return Next();
    }

    bool Parameter() {
        ParameterDescription parameter;
        const std::string& type = current_.text;
        if (type == "float") {
            parameter.type = ParameterType::Float;
        } else if (type == "float2") {
            parameter.type = ParameterType::Float2;
        } else if (type == "float3") {
            parameter.type = ParameterType::Float3;
        } else if (type == "float4") {
            parameter.type = ParameterType::Float4;
        } else if (type == "float4x4") {
            parameter.type = ParameterType::Float4x4;
        } else if (type == "texture") {
            parameter.type = ParameterType::Texture;
        } else {
            return Fail("expected a parameter type (float, float2, float3, float4, float4x4, "
                        "texture) or technique, found '" +
                        type + "'");
        }
        if (!Next()) {
            return false;
        }
        const int line = current_.line;
        if (!ExpectIdentifier("a parameter name", &parameter.name)) {
            return false;
        }
        if (FindParameter(parameter.name) >= 0) {
            return FailAt(line, "the parameter '" + parameter.name + "' is declared twice");
        }
        if (IsSymbol('=')) {
            if (!Next() || !Initializer(&parameter)) {
                return false;
            }
        }
        if (!Expect(';')) {
            return false;
        }
        effect_->parameters.push_back(parameter);
        return true;
    }

    bool Initializer(ParameterDescription* parameter) {
        const uint32_t count = ParameterFloats(parameter->type);
        if (count == 0) {
            return Fail("a texture parameter takes no initial value");
        }
        if (count == 1 && !IsSymbol('{')) {
            return ParseFloat(&parameter->initial[0]);
        }
        if (!Expect('{')) {
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            if (i > 0 && !Expect(',')) {
                return false;
            }
            if (!ParseFloat(&parameter->initial[i])) {
                return false;
            }
        }
        if (IsSymbol(',')) {
            return Fail("'" + parameter->name + "' takes " + std::to_string(count) + " values");
        }
        return Expect('}');
    }

    int FindParameter(const std::string& name) const {
        for (size_t i = 0; i < effect_->parameters.size(); ++i) {
            if (effect_->parameters[i].name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    bool Technique() {
        if (!Next()) {
            return false;
        }
        TechniqueDescription technique;
        const int line = current_.line;
        if (!ExpectIdentifier("a technique name", &technique.name)) {
            return false;
        }
        for (const TechniqueDescription& other : effect_->techniques) {
            if (other.name == technique.name) {
                return FailAt(line, "the technique '" + technique.name + "' is defined twice");
            }
        }
        if (!Expect('{')) {
            return false;
        }
        while (!IsSymbol('}')) {
            if (current_.kind != TokenKind::Identifier || current_.text != "pass") {
                return Fail("expected a pass or '}', found '" + current_.text + "'");
            }
            PassDescription pass;
            if (!Pass(&pass)) {
                return false;
            }
            technique.passes.push_back(std::move(pass));
        }
        if (technique.passes.empty()) {
            return FailAt(line, "the technique '" + technique.name + "' has no pass");
        }
        effect_->techniques.push_back(std::move(technique));
        return Next();
    }

    bool Pass(PassDescription* pass) {
        pass->line = current_.line;
        if (!Next()) {
            return false;
        }
        if (current_.kind == TokenKind::Identifier &&
            !ExpectIdentifier("a pass name", &pass->name)) {
            return false;
        }
        if (!Expect('{')) {
            return false;
        }
        while (!IsSymbol('}')) {
            if (!Assignment(pass)) {
                return false;
            }
        }
        return CheckConstantsAgainstShader(*pass) && Next();
    }

    bool Assignment(PassDescription* pass) {
        const int line = current_.line;
        std::string name;
        if (!ExpectIdentifier("a state name", &name)) {
            return false;
        }
        bool indexed = false;
        uint32_t index = 0;
        if (IsSymbol('[')) {
            indexed = true;
            if (!Next() || !ParseCount(&index) || !Expect(']')) {
                return false;
            }
        }
        if (!Expect('=')) {
            return false;
        }
        bool ok = false;
        if (SameName(name, "PixelShader") || SameName(name, "VertexShader")) {
            ok = !indexed ? ShaderAssignment(pass, SameName(name, "PixelShader"), line)
                          : FailAt(line, name + " takes no index");
        } else if (SameName(name, "Texture")) {
            ok = TextureAssignment(pass, name, indexed, index, line);
        } else if (SameName(name, "PixelShaderConstantF")) {
            ok = ConstantAssignment(pass, name, indexed, index, line);
        } else {
            ok = StateAssignment(pass, name, indexed, index, line);
        }
        return ok && Expect(';');
    }

    bool ShaderAssignment(PassDescription* pass, bool pixel, int line) {
        if (pixel ? pass->pixelShader != ShaderSetting::Untouched : pass->vertexShaderNull) {
            return FailAt(line, std::string(pixel ? "PixelShader" : "VertexShader") +
                                    " is set twice in this pass");
        }
        if (current_.kind == TokenKind::Identifier && SameName(current_.text, "NULL")) {
            if (pixel) {
                pass->pixelShader = ShaderSetting::Null;
            } else {
                pass->vertexShaderNull = true;
            }
            return Next();
        }
        if (!pixel) {
            return Fail("VertexShader can only be NULL; the vertices are pre-transformed");
        }
        if (current_.kind != TokenKind::Identifier || current_.text != "asm") {
            return Fail("expected NULL or an asm block, found '" + current_.text + "'");
        }
        // The asm block is raw text up to the first '}' outside a comment; the lexer resumes
        // after it.
        if (!SkipSpaceAndComments()) {
            return false;
        }
        if (pos_ >= length_ || text_[pos_] != '{') {
            return FailAt(line_, "expected '{' after asm");
        }
        ++pos_;
        const size_t start = pos_;
        const int startLine = line_;
        while (pos_ < length_ && text_[pos_] != '}') {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ';' || (c == '/' && pos_ + 1 < length_ && text_[pos_ + 1] == '/')) {
                while (pos_ < length_ && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else if (c == '/' && pos_ + 1 < length_ && text_[pos_ + 1] == '*') {
                pos_ += 2;
                while (pos_ < length_ &&
                       !(text_[pos_] == '*' && pos_ + 1 < length_ && text_[pos_ + 1] == '/')) {
                    line_ += text_[pos_] == '\n';
                    ++pos_;
                }
                pos_ = pos_ < length_ ? pos_ + 2 : pos_;
            } else {
                ++pos_;
            }
        }
        if (pos_ >= length_) {
            return FailAt(startLine, "the asm block is never closed");
        }
        pass->pixelShaderSource.assign(text_ + start, pos_ - start);
        pass->pixelShaderLine = startLine;
        ++pos_;
        std::string error;
        if (!AssemblePixelShader(pass->pixelShaderSource.data(), pass->pixelShaderSource.size(),
                                 startLine, &pass->pixelShaderTokens, &error)) {
            *error_ = error;
            return false;
        }
        pass->pixelShader = ShaderSetting::Assembly;
        return Next();
    }

    bool ParameterReference(ParameterType wanted, const std::string& state, size_t* parameter) {
        if (!Expect('<')) {
            return false;
        }
        const int line = current_.line;
        std::string name;
        if (!ExpectIdentifier("a parameter name", &name)) {
            return false;
        }
        const int found = FindParameter(name);
        if (found < 0) {
            return FailAt(line, "no parameter is called '" + name + "'");
        }
        const bool texture = effect_->parameters[found].type == ParameterType::Texture;
        if (texture != (wanted == ParameterType::Texture)) {
            return FailAt(line, state + " takes a " + (texture ? "numeric" : "texture") +
                                    " parameter; '" + name + "' is not one");
        }
        *parameter = static_cast<size_t>(found);
        return Expect('>');
    }

    bool TextureAssignment(PassDescription* pass, const std::string& name, bool indexed,
                           uint32_t stage, int line) {
        if (!indexed || stage >= kSamplerCount) {
            return FailAt(line, name + " needs a sampler index from 0 to 15");
        }
        for (const TextureBinding& other : pass->textures) {
            if (other.stage == stage) {
                return FailAt(line,
                              name + "[" + std::to_string(stage) + "] is set twice in this pass");
            }
        }
        TextureBinding binding{stage, 0};
        if (!ParameterReference(ParameterType::Texture, name, &binding.parameter)) {
            return false;
        }
        pass->textures.push_back(binding);
        return true;
    }

    bool ConstantAssignment(PassDescription* pass, const std::string& name, bool indexed,
                            uint32_t first, int line) {
        if (!indexed || first >= kConstantRegisters) {
            return FailAt(line, name + " needs a register index from 0 to 31");
        }
        ConstantBinding binding{first, 0};
        if (!ParameterReference(ParameterType::Float, name, &binding.parameter)) {
            return false;
        }
        const uint32_t count = ParameterRegisters(effect_->parameters[binding.parameter].type);
        if (first + count > kConstantRegisters) {
            return FailAt(line, "'" + effect_->parameters[binding.parameter].name + "' needs " +
                                    std::to_string(count) + " registers from c" +
                                    std::to_string(first) + ", past c31");
        }
        for (const ConstantBinding& other : pass->constants) {
            const uint32_t otherCount =
                ParameterRegisters(effect_->parameters[other.parameter].type);
            if (first < other.firstRegister + otherCount && other.firstRegister < first + count) {
                return FailAt(line, "the constant registers of '" +
                                        effect_->parameters[binding.parameter].name +
                                        "' overlap those of '" +
                                        effect_->parameters[other.parameter].name + "'");
            }
        }
        pass->constants.push_back(binding);
        return true;
    }

    bool StateAssignment(PassDescription* pass, const std::string& name, bool indexed,
                         uint32_t index, int line) {
        const StateInfo* info = FindState(name);
        if (info == nullptr) {
            return FailAt(line, "unknown state '" + name + "'");
        }
        std::vector<StateSetting>* list = &pass->renderStates;
        if (info->group == StateGroup::Render) {
            if (indexed) {
                return FailAt(line, name + " is a render state and takes no index");
            }
        } else {
            const uint32_t limit = info->group == StateGroup::Sampler ? kSamplerCount : kStageCount;
            if (!indexed || index >= limit) {
                return FailAt(line,
                              name + " needs an index from 0 to " + std::to_string(limit - 1));
            }
            list = info->group == StateGroup::Sampler ? &pass->samplerStates : &pass->stageStates;
        }
        for (const StateSetting& other : *list) {
            if (other.state == info->state && other.index == index) {
                return FailAt(line, name + " is set twice in this pass");
            }
        }
        uint32_t value = 0;
        while (true) {
            uint32_t term = 0;
            if (current_.kind == TokenKind::Number) {
                if (!ParseCount(&term)) {
                    return false;
                }
            } else if (current_.kind == TokenKind::Identifier &&
                       FindStateValue(info->values, current_.text, &term)) {
                if (!Next()) {
                    return false;
                }
            } else {
                return Fail("'" + current_.text + "' is not a value of " + name);
            }
            value |= term;
            if (!IsSymbol('|')) {
                break;
            }
            if (!Next()) {
                return false;
            }
        }
        list->push_back({index, info->state, value});
        return true;
    }

    // The registers a pass binds to parameters must not be ones its shader defines itself.
    bool CheckConstantsAgainstShader(const PassDescription& pass) {
        const std::vector<uint32_t>& tokens = pass.pixelShaderTokens;
        for (size_t i = 1; i + 1 < tokens.size();) {
            const uint32_t opcode = tokens[i] & 0xFFFF;
            const uint32_t length = (tokens[i] >> token::kLengthShift) & 0xF;
            if (opcode == token::kDef) {
                const uint32_t reg = tokens[i + 1] & 0x7FF;
                for (const ConstantBinding& binding : pass.constants) {
                    const ParameterDescription& p = effect_->parameters[binding.parameter];
                    if (reg >= binding.firstRegister &&
                        reg < binding.firstRegister + ParameterRegisters(p.type)) {
                        return FailAt(pass.line, "c" + std::to_string(reg) +
                                                     " is both defined by the shader and bound "
                                                     "to '" +
                                                     p.name + "'");
                    }
                }
            }
            i += 1 + length;
        }
        return true;
    }

    const char* text_;
    size_t length_;
    size_t pos_ = 0;
    int line_ = 1;
    Token current_;
    EffectDescription* effect_;
    std::string* error_;
};

} // namespace

bool ParseEffect(const char* text, size_t length, EffectDescription* effect, std::string* error) {
    *effect = EffectDescription();
    Parser parser(text, length, effect, error);
    if (!parser.Run()) {
        *effect = EffectDescription();
        return false;
    }
    return true;
}

} // namespace d3dx

// Prints what the end-to-end test needs to know about the program as JSON:
// the question bank (to recognise a shown question and its right answer)
// and the control rectangles in pixels (to tell the window's controls apart).
#include <cstdio>
#include <string>
#include <string_view>

#include "bank/question_bank.h"
#include "ui/layout/form1_layout.h"

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

int main() {
    using namespace infotest;
    std::string json = "{\"bank\": [";
    for (const Question& question : QuestionBank()) {
        if (json.back() != '[') json += ", ";
        json += "{\"text\": " + Quoted(question.QuestionText) + ", \"options\": [";
        for (std::size_t n = 0; n < question.OptionCaptions.size(); ++n) {
            json += (n > 0 ? ", " : "") + Quoted(question.OptionCaptions[n]);
        }
        json += "], \"correct\": " + std::to_string(question.CorrectOption) + "}";
    }
    json += "], \"controls\": {";
    bool first = true;
    for (const ControlLayout& row : Form1Layout()) {
        if (row.kind == ControlKind::Timer) continue;
        json += std::string(first ? "" : ", ") + Quoted(ControlName(row.control)) +
                ": {\"parent\": " + Quoted(ControlName(row.parent)) + ", \"rect\": [" +
                std::to_string(TwipsToPixels(row.left)) + ", " + std::to_string(TwipsToPixels(row.top)) + ", " +
                std::to_string(TwipsToPixels(row.width)) + ", " + std::to_string(TwipsToPixels(row.height)) + "]}";
        first = false;
    }
    json += "}}\n";
    std::fputs(json.c_str(), stdout);
    return 0;
}

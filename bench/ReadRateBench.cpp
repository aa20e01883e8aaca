// What Lumora reads in a corpus of pictures: every picture listed in the corpus's
// TRUTH.txt is dropped on the dialog on its own (tone replaced by nothing, echo lines into
// /dev/null), and the result lines it gives are printed, one line per picture:
//   relpath<TAB>text<TAB>text...
// with every byte outside printable ASCII written \xHH and a backslash \\, as TRUTH.txt
// writes them. bench/read-rate.py compares them with the truth and with ZBar's and
// zxing-cpp's own tools.
// Usage: lumora_bench_readrate CORPUS > answers.txt

#include "BenchKit.h"

#include "platform/Tone.h"
#include "ui/LumoraDlg.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::string Escaped(const QByteArray& text)
{
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\')
            escaped += "\\\\";
        else if (byte >= 0x20 && byte < 0x7f)
            escaped += c;
        else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            escaped += hex;
        }
    }
    return escaped;
}

int Run(int argc, char** argv)
{
    if (argc != 2)
        throw std::runtime_error("usage: lumora_bench_readrate CORPUS");
    PrepareLikeTheProgram();
    QApplication app(argc, argv);
    const std::filesystem::path corpus = argv[1];
    std::ifstream truth(corpus / "TRUTH.txt");
    if (!truth)
        throw std::runtime_error("no TRUTH.txt in " + corpus.string());

    CLumoraDlg dialog;
    SetToneOverride([](int, int) {});
    const NullStdout null;
    for (std::string line; std::getline(truth, line);) {
        const std::string relpath = line.substr(0, line.find('\t'));
        if (relpath.empty())
            continue;
        dialog.OnClear();
        dialog.DecodeDroppedFiles({QString::fromStdString((corpus / relpath).string())});
        std::string answer = relpath;
        const QString lines = dialog.m_editResult->toPlainText();
        for (const QString& text : lines.split(u'\n', Qt::SkipEmptyParts))
            answer.append(1, '\t').append(Escaped(text.toUtf8()));
        std::fprintf(null.Table(), "%s\n", answer.c_str());
    }
    SetToneOverride({});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunReportingErrors(argc, argv, Run);
}

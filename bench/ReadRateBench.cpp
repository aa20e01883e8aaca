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
#include <stdexcept>
#include <string>

namespace {

int Run(int argc, char** argv)
{
    if (argc != 2)
        throw std::runtime_error("usage: lumora_bench_readrate CORPUS");
    PrepareLikeTheProgram();
    QApplication app(argc, argv);
    const std::filesystem::path corpus = argv[1];
    const std::vector<CorpusPicture> pictures = CorpusPictures(corpus);

    CLumoraDlg dialog;
    SetToneOverride([](int, int) {});
    const NullStdout null;
    for (const CorpusPicture& picture : pictures) {
        dialog.OnClear();
        dialog.DecodeDroppedFiles({QString::fromStdString((corpus / picture.relpath).string())});
        std::string answer = picture.relpath;
        const QString lines = dialog.m_editResult->toPlainText();
        for (const QString& text : lines.split(u'\n', Qt::SkipEmptyParts))
            answer.append(1, '\t').append(EscapedLikeTruth(text.toUtf8().toStdString()));
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

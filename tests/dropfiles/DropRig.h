#pragma once
// A dialog to drop files on, with what the drop leaves outside the box: the echo lines
// on standard output, the tones (counted, not played) and the clipboard.

#include "platform/Tone.h"
#include "support/TempDir.h"
#include "ui/LumoraDlg.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

inline fs::path Picture(const char* name)
{
    return fs::path(LUMORA_TEST_DATA) / "pictures" / name;
}

inline QString PathText(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

inline QString PicturePath(const char* name)
{
    return PathText(Picture(name));
}

inline std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The echo lines that paths give: each path, then a line end.
inline std::string Lines(const QStringList& paths)
{
    std::string text;
    for (const QString& path : paths)
        text += path.toStdString() + "\n";
    return text;
}

// Points this process's standard output at a file while it lives, so that what has been
// flushed - and only that - can be read while the handler is still running.
class StdoutToFile {
public:
    explicit StdoutToFile(const fs::path& file) : saved_(dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(dup2(fd, STDOUT_FILENO), 0);
        close(fd);  // standard output holds its own descriptor now
    }
    ~StdoutToFile()
    {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);  // nothing better to do if it fails: the test ends anyway
        close(saved_);
    }
    StdoutToFile(const StdoutToFile&) = delete;
    StdoutToFile& operator=(const StdoutToFile&) = delete;

private:
    const int saved_;
};

class DropRig {
protected:
    DropRig()
    {
        SetToneOverride([this](int hz, int ms) {
            tones.emplace_back(hz, ms);
            if (onTone)
                onTone();
        });
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    }
    ~DropRig() { SetToneOverride({}); }
    DropRig(const DropRig&) = delete;
    DropRig& operator=(const DropRig&) = delete;

    // A copy of a test picture at name in the temporary folder, folders made on the way.
    QString Copy(const char* picture, const fs::path& name) const
    {
        const fs::path target = dir / name;
        fs::create_directories(target.parent_path());
        fs::copy_file(Picture(picture), target);
        return PathText(target);
    }

    // Drops paths on the dialog; returns everything it wrote to standard output.
    std::string Drop(const QStringList& paths)
    {
        const StdoutToFile redirect(echoFile);
        dlg.DecodeDroppedFiles(paths);
        return Echoed();
    }
    std::string Echoed() const { return ReadBytes(echoFile); }

    QStringList ResultLines() const { return dlg.m_editResult->toPlainText().split(u'\n', Qt::SkipEmptyParts); }
    QString BoxText() const { return dlg.m_editResult->toPlainText(); }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    // What count tones of an accepted symbol each sound like.
    static std::vector<std::pair<int, int>> Tones(std::size_t count) { return {count, {440, 200}}; }

    const TempDir dir;
    const fs::path echoFile = dir / "stdout.txt";
    CLumoraDlg dlg;
    std::vector<std::pair<int, int>> tones;
    std::function<void()> onTone;  // runs at each tone, after it has been counted
};

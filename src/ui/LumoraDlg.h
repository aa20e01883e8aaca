#pragma once
// The main dialog: the program's whole user interface.
//
// The class declares every handler of its event routes, but each subsystem defines its own:
//   src/ui        construction, initialisation, data exchange, close and size buttons
//   src/output    AppendResultLine, WriteResult, ReportResult, OnClear
//   src/capture   camera list (FillCameraList, OnCameraSel*), OnStartCapture, OnStopCapture
//   src/capture   the screen (OnReadScreen, ReadScreenFirst)
//   src/dropfiles DecodeDroppedFiles, DecodePicture, PasteFrom, OnPaste

#include "output/ResultContent.h"
#include "ui/ControlIds.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <QTimer>

#include <array>
#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace cv {
class Mat;
}
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMimeData;
class QPlainTextEdit;
class QRadioButton;
class Announcer;
struct ScreenPictures;
struct SymbolHit;

// Lists the video inputs into the shared camera table (src/capture). Runs first in the
// dialog's initialisation and touches no control.
void EnumerateVideoInputs();

class CLumoraDlg : public QDialog {
public:
    CLumoraDlg();
    ~CLumoraDlg() override;

    // The widget made for a template id (IDC_STATIC: the one label); nullptr for others.
    QWidget* Control(int id) const;

    // Data exchange between the controls and m_strResult / m_strCamera:
    // true reads the controls into the members, false writes the members into the controls.
    void UpdateData(bool save);

    // Result output (src/output).
    void AppendResultLine(const QString& text);
    // One accepted symbol's text: appended, then copied while the clipboard box is ticked
    // (read afresh each time). The decoding path's own feedback follows.
    void WriteResult(const QString& text);
    // One accepted symbol of either path: its display text written so, and what it holds
    // (a link, a network, a contact...) kept for the result box's menu 読み取った内容.
    void ReportResult(const SymbolHit& symbol);
    void OnClear();

    // Capture (src/capture).
    void FillCameraList();
    void OnStartCapture();
    void OnStopCapture();
    void OnCameraSelChange();
    void OnCameraSelEndCancel();

    // Files and pictures from outside: drops, pastes, the command line, later starts. Each
    // is handled in its turn (HandleInTurn), after those that came before it.
    // Files handled as one drop: absolute local paths, in order.
    void OpenFiles(const QStringList& paths);
    // The drop proper (src/dropfiles), for files and for a pasted picture (8-bit gray,
    // rows without gaps; no echo line, as it has no path). Reports the symbols of the
    // accepted types; returns how many.
    void DecodeDroppedFiles(const QStringList& paths);
    std::size_t DecodePicture(const cv::Mat& picture, std::span<const std::string_view> accepted);
    // Each symbol of a dropped file or picture reported, with its beep.
    void ReportSymbols(const std::vector<SymbolHit>& symbols);
    // A paste (src/dropfiles): files or a picture are read in full and handled in turn;
    // returns false, taking nothing, for anything else (text, which the result box pastes).
    bool PasteFrom(const QMimeData& mime);
    void OnPaste();  // Ctrl+V and Shift+Insert outside the result box: the clipboard's files or picture
    // The screen (src/capture), read in turn like a paste: the dialog and the preview are off
    // the screen while its pictures are taken. Codes of the camera's types are reported as a
    // dropped picture's, without a path line; when none is found, a notice says so (and why,
    // when no picture could be taken).
    void OnReadScreen();
    // The same at a first start, before the dialog is on screen: taken now, read in turn.
    void ReadScreenFirst();
    // A short message over the result box that goes by itself: never a result line (src/ui).
    void ShowNotice(const QString& text);
    // The same place shows how far a long input has got, until EndProgress; a notice that
    // comes meanwhile has its full time first. Neither is announced.
    void ShowProgress(const QString& text);
    void EndProgress();
    // Said to screen readers without moving the focus (src/ui): each result, each notice.
    void Announce(const QString& text);
    // Between the steps of a long drop: the window repaints and answers the window manager
    // (at most every 100 ms), while clicks, keys and close requests wait for the end.
    void KeepAnswering();

    // Own handlers.
    void OnCloseClicked();
    void OnSizeLarge();
    void OnSizeSmall();
    void OnCameraIgnored();

    // Esc, the hidden cancel button and the window manager's close all end up here.
    void reject() override;

    QIcon m_hIcon;
    QString m_strResult;  // the result box's text as the data exchange keeps it
    QPlainTextEdit* m_editResult = nullptr;
    QRadioButton* m_btnLarge = nullptr;
    QRadioButton* m_btnSmall = nullptr;
    QCheckBox* m_chkClipboard = nullptr;
    QComboBox* m_comboCamera = nullptr;
    QString m_strCamera;  // the camera list's text as the data exchange keeps it
    QAction* m_actReadScreen = nullptr;  // the result box's context menu entry, and its shortcut

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The Menu key or Shift+F10 anywhere in the dialog: the result box's context menu.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateControls();
    void OnCreate();
    bool OnInitDialog();
    void ConnectMessageMap();
    void OnOK();
    void HandleInTurn(std::function<void()> input);
    void HandleWaitingInput();
    void ReadScreenPictures(const ScreenPictures& taken);
    void CreateNotice();
    void PlaceNotice(const QString& text);
    // Before the controls exist: a control keeps the interface it is first given.
    static void InstallAccessibleInterfaces();
    void NameForAssistiveTools();

    std::array<QWidget*, 11> m_controls{};  // in template order; owned by the dialog as their parent
    std::deque<std::function<void()>> m_waitingInput;  // drops and pastes: the one being handled, then those waiting
    std::chrono::steady_clock::time_point m_lastAnswered{};  // the last drain of KeepAnswering
    QLabel* m_notice = nullptr;
    QTimer m_noticeTimer;  // hides the notice
    std::unique_ptr<Announcer> m_announcer;
    std::deque<ResultContent> m_recentContents;  // newest first, for the result box's menu
};

#pragma once

#include "core/platform/platform.h"

/// The platform seam for benchmarks: answers No to every question and shows nothing.
class SilentPlatform : public Platform
{
public:
    int choose(const QString &, const QString &, const QStringList &buttons) override { return int(buttons.size()) - 1; }
    MsgAnswer messageBox(const QString &, const QString &, MsgIcon, MsgButtons) override
    {
        return MsgAnswer::No;
    }
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString & = QString()) override { return {}; }
    QString chooseFolder(const QString &) override { return {}; }
    std::unique_ptr<ProgressWindow> openProgress(const QString &, const QString &, int) override
    {
        // Shows nothing and never stops.
        struct Unseen : ProgressWindow
        {
            bool advance(int, const QString &) override { return false; }
        };
        return std::make_unique<Unseen>();
    }
    ItemFont chooseFont(const ItemFont &preset) override { return preset; }
    QString clipboardText() override { return {}; }
    void setClipboardText(const QString &) override {}
    bool openWithDefaultViewer(const QString &) override { return false; }
    Result<void> startWordProcessor(const QString &) override { return Failure{}; }
    bool printerInstalled() override { return false; }
    void setPrinterSetting(int) override {}
    QStringList printerNames() override { return {}; }
    QString defaultPrinterName() override { return {}; }
    PrintTarget *printer(const QString & = QString()) override { return nullptr; }
    std::optional<PrintJobChoice> printerProperties(const QString &, const PrintJobChoice &) override
    {
        return std::nullopt;
    }
    QVariant setting(const QString &) override { return {}; }
    void setSetting(const QString &, const QVariant &) override {}
    QString rememberedPrinter() override { return {}; }
    QStringList recentFiles() override { return {}; }
    void setRecentFiles(const QStringList &) override {}
    void rememberPrinter(const QString &) override {}
    void registerCommentFileType(const QString &) override {}
};

#pragma once
// The one object that owns the program's state: the variable table and its
// keys, the shell state, the page keys, the information block, the CAN device
// layer and the link. Nothing else is global; the GUI and the command-line
// tool each create one.
#include "core/files/File.h"
#include "core/files/Lists.h"
#include "core/link/IDData.h"
#include "core/state/Host.h"
#include "core/state/PageRegistry.h"
#include "core/state/PollingFlags.h"
#include "core/state/ShellState.h"
#include "core/transport/LinkTiming.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class CanAdapter;
class CANLink;
class E2Image;
class WordLink;
class modCANDevice;
class QTimer;

class CoreContext {
public:
    using AdapterFactory = std::function<std::unique_ptr<CanAdapter>()>;

    // programFolder holds res/; the factory creates the adapter of the chosen
    // bus each time the device layer opens a channel.
    CoreContext(const QString& programFolder, AdapterFactory factory, LinkTiming timing = LinkTiming::Fast);
    ~CoreContext();
    CoreContext(const CoreContext&) = delete;
    CoreContext& operator=(const CoreContext&) = delete;

    const QString ProgramFolder;
    ShellState Shell;
    IDData Table{&Shell};
    PageRegistry Pages;
    InfoBlock Info;
    // The bus in use as the status bar shows it ("sim", "socketcan:can0", ...).
    QString BusName;
    // The section colours (palette), entries 0..3 = sections 1..4.
    PaletteColours Palette;
    // Which polling page polls, and the stop requests between them.
    PollingFlags Polling;

    modCANDevice& Device();
    // Makes another bus the one the next Connect opens (the Set menu's CAN
    // interface list): the open channel is closed, the adapter factory and
    // BusName are replaced. For the rest of the run only; nothing is stored.
    void SetBus(AdapterFactory factory, const QString& busName);
    CANLink& Link();
    WordLink& Words();
    E2Image& Image();

    // Progress, messages and page refreshes of the core go to this host
    // (NullHost until one is set).
    void SetHost(Host* host);
    Host& CurrentHost();

    // Loads ProgramFolder + "/res/ini/Ramlist.ini"; "" or the failure text.
    std::string LoadCatalogue();
    QString CataloguePath() const;
    QString ResourcePath(const QString& relative) const; // ProgramFolder + "/res/" + relative

    // The text of the last link failure, kept for the status panel.
    void NoteFailure(const std::string& message);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

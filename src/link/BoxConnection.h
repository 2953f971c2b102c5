#pragma once
// TBoxConnection: the controller boxes of the program and every handshake
// with them. It keeps one driver per machine type (created on first use and
// kept for the program's life), knows which one is current, and carries out
// the contact at first show and after a side switch, the retries while a box
// stays silent, the re-initialisation of a silent box between runs, and the
// leave at closing. Windows only ask the operator (AskPort) and show the
// outcome.
#include "link/CtrlBox.h"

#include <array>
#include <functional>
#include <memory>

namespace kv {

// Ticks of a silent box before its port is first reopened, and between
// later reopenings.
inline constexpr int kReopenFirstTick = 3;
inline constexpr int kReopenEveryTicks = 10;

class TBoxConnection {
public:
    // The driver of a machine type 0..5 (CreateCtrlBox for the real ones);
    // empty: no controller link, every driver is null.
    using TFactory = std::function<std::unique_ptr<TCtrlBox>(int machineType)>;
    // Asked while the box stays silent: true when the operator chose a port
    // and line settings (already set in the box) to try, false to go on
    // off-line.
    using TAskPort = std::function<bool(TCtrlBox &box)>;
    // Told when a long exchange with the box begins (true) and ends (false).
    using TBusy = std::function<void(bool busy)>;

    explicit TBoxConnection(TFactory factory = {});
    ~TBoxConnection();
    TBoxConnection(const TBoxConnection &) = delete;
    TBoxConnection &operator=(const TBoxConnection &) = delete;

    void SetAskPort(TAskPort ask) { FAskPort = std::move(ask); }
    void SetBusy(TBusy busy) { FBusy = std::move(busy); }

    // Makes a machine type current; its driver is created on first use.
    void Select(int machineType);
    int MachineType() const { return FMachineType; }
    // The driver of the current type; null when the factory gave none.
    TCtrlBox *Current() const { return FDrivers[size_t(FMachineType)].get(); }
    bool IsOnline() const;

    // First show: Init, open the port, wake the box, poll, retry while it is
    // silent, activate, and when on-line stop it and compare the parameter
    // sets. True when the box answers.
    bool Connect();
    // The driver of a new side after a switch: the same without the wake-up
    // and the stop.
    bool ConnectSide();
    // The current side is left for the other one: deactivated and finished.
    void LeaveSide();
    // First show: the control mode the parameters choose (manual only on a
    // box that has it and when it is chosen).
    void ApplyControlMode();
    // A silent box between runs, on each status tick since it went off-line
    // (silentTick 1, 2, ...): a few ticks in, and then every few seconds,
    // the port is closed and opened again (a replugged adapter is a new
    // device behind the same name) and the box stopped and activated as at
    // first contact; then streaming, link and control mode again, when the
    // port is open.
    void Reinitialise(int silentTick);
    // Closing: the box stops streaming and is told the host leaves.
    void Leave();
    // Every driver finished (its port closed and settings stored) and freed.
    void FinishAll();

private:
    bool Reach(TCtrlBox &box, bool wake);
    void Poll(int times);
    void RetryUntilOnline(TCtrlBox &box);
    void Compare(TCtrlBox &box);

    TFactory FFactory;
    TAskPort FAskPort;
    TBusy FBusy;
    std::array<std::unique_ptr<TCtrlBox>, BoxModelCount> FDrivers;
    int FMachineType = 0;
};

} // namespace kv

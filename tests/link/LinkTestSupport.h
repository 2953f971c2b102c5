#pragma once
// A scripted serial line for the driver tests: records every write, serves
// bytes the test queued, and lets a test answer writes (parameter replies).
#include "link/SerialPort.h"
#include "link/CtrlBox.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace linktest {

struct TLineState {
    bool OpenSucceeds = true;
    bool IsOpen = false;
    int OpenCount = 0;
    int Port = 0;
    QString Settings;
    QByteArray Rx;              // bytes the box has sent and the PC not read
    QList<QByteArray> Tx;       // every write, in order
    int Discards = 0;
    // Called after each write (may append to Rx).
    std::function<void(TLineState &, const QByteArray &)> OnOutput;
    // Called whenever the driver asks how many bytes are buffered.
    std::function<void(TLineState &)> OnCount;

    QByteArray AllTx() const
    {
        QByteArray all;
        for (const QByteArray &f : Tx)
            all += f;
        return all;
    }
    // The single command bytes written, in order.
    QList<int> Bytes() const
    {
        QList<int> out;
        for (const QByteArray &f : Tx)
            if (f.size() == 1)
                out.append(static_cast<quint8>(f[0]));
        return out;
    }
    void Clear() { Tx.clear(); }
};

class TScriptedLine : public kv::TSerialLine {
public:
    explicit TScriptedLine(std::shared_ptr<TLineState> s) : m(std::move(s)) {}
    bool Open(int port, const QString &settings) override
    {
        m->IsOpen = false;
        ++m->OpenCount;
        m->Port = port;
        m->Settings = settings;
        m->IsOpen = m->OpenSucceeds;
        return m->IsOpen;
    }
    void Close() override { m->IsOpen = false; }
    bool IsOpen() const override { return m->IsOpen; }
    bool Output(const QByteArray &bytes) override
    {
        if (!m->IsOpen)
            return false;
        m->Tx.append(bytes);
        if (m->OnOutput)
            m->OnOutput(*m, bytes);
        return true;
    }
    int InBufferCount() override
    {
        if (m->OnCount)
            m->OnCount(*m);
        return m->IsOpen ? m->Rx.size() : 0;
    }
    QByteArray Input(int count) override
    {
        const QByteArray out = m->Rx.left(count);
        m->Rx.remove(0, out.size());
        return out;
    }
    void DiscardInput() override
    {
        ++m->Discards;
        m->Rx.clear();
    }

private:
    std::shared_ptr<TLineState> m;
};

// A driver of machine type t on a scripted line, initialised (without a
// database) and with its port open.
inline std::unique_ptr<kv::TCtrlBox> ScriptedBox(int type, std::shared_ptr<TLineState> &state)
{
    state = std::make_shared<TLineState>();
    auto box = kv::CreateCtrlBox(type);
    auto s = state;
    box->SetSerialFactory([s] { return std::make_unique<TScriptedLine>(s); });
    box->Init();
    box->OpenPort();
    state->Clear();
    return box;
}

inline QByteArray Hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

} // namespace linktest

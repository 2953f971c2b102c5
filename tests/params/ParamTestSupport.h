#pragma once
// A serial line that behaves like the parameter memory of a box: write
// frames store a word, read requests are answered from the memory. Reads of
// chosen addresses can be made to fail (no reply).
#include "link/SerialPort.h"
#include "link/CtrlBox.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <map>
#include <memory>
#include <set>

namespace paramtest {

struct TBoxMemory {
    std::map<int, int> Words;           // address -> word
    QList<QPair<int, int>> Writes;      // (address, value) in order
    QList<int> Reads;                   // addresses asked for, in order
    std::set<int> Silent;               // addresses the box does not answer
    QByteArray Rx;
    bool Open = false;

    int Word(int address) const
    {
        auto it = Words.find(address);
        return it == Words.end() ? 0 : it->second;
    }
};

inline int Digits(const QByteArray &b, int from, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i)
        v = v * 10 + (quint8(b[from + i]) - 0x30);
    return v;
}

class TMemoryLine : public kv::TSerialLine {
public:
    explicit TMemoryLine(std::shared_ptr<TBoxMemory> m) : M(std::move(m)) {}
    bool Open(int, const QString &) override { return M->Open = true; }
    void Close() override { M->Open = false; }
    bool IsOpen() const override { return M->Open; }
    bool Output(const QByteArray &b) override
    {
        if (!M->Open)
            return false;
        if (b.size() == 11 && quint8(b[0]) == 0x68 && quint8(b[1]) == 0xD0 && quint8(b[10]) == 0x16) {
            const int a = Digits(b, 2, 3);
            const int v = Digits(b, 5, 5);
            M->Words[a] = v;
            M->Writes.append({a, v});
        } else if (b.size() == 6 && quint8(b[0]) == 0x68 && quint8(b[1]) == 0xD1 && quint8(b[5]) == 0x16) {
            const int a = Digits(b, 2, 3);
            M->Reads.append(a);
            if (!M->Silent.count(a)) {
                QByteArray r;
                r.append(char(0x68));
                r.append(QByteArray::number(a).rightJustified(3, '0'));
                r.append(QByteArray::number(M->Word(a)).rightJustified(5, '0'));
                r.append(char(0x16));
                M->Rx += r;
            }
        }
        return true;
    }
    int InBufferCount() override { return M->Open ? int(M->Rx.size()) : 0; }
    QByteArray Input(int count) override
    {
        const QByteArray out = M->Rx.left(count);
        M->Rx.remove(0, out.size());
        return out;
    }
    void DiscardInput() override { M->Rx.clear(); }

private:
    std::shared_ptr<TBoxMemory> M;
};

// A driver of machine type t (0..5) on a memory line, with its port open.
// No database and no parameter set are involved.
inline std::unique_ptr<kv::TCtrlBox> MemoryBox(int type, std::shared_ptr<TBoxMemory> &memory)
{
    memory = std::make_shared<TBoxMemory>();
    auto box = kv::CreateCtrlBox(type);
    auto m = memory;
    box->SetSerialFactory([m] { return std::make_unique<TMemoryLine>(m); });
    box->Init();
    box->OpenPort();
    return box;
}

} // namespace paramtest

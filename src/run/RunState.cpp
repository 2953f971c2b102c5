#include "run/RunState.h"

namespace kv {

void THistory::Push(float value)
{
    for (int i = Size - 1; i > 0; --i)
        m_v[size_t(i)] = m_v[size_t(i - 1)];
    m_v[0] = value;
}

} // namespace kv

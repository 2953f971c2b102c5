#pragma once
#include <QtCore/qglobal.h>

#if defined(KVCONTRACT_LIBRARY)
#define KVCONTRACT_EXPORT Q_DECL_EXPORT
#else
#define KVCONTRACT_EXPORT Q_DECL_IMPORT
#endif

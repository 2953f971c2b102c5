#pragma once
#include <QtCore/qglobal.h>

#if defined(KVPLATFORM_LIBRARY)
#define KVPLATFORM_EXPORT Q_DECL_EXPORT
#else
#define KVPLATFORM_EXPORT Q_DECL_IMPORT
#endif

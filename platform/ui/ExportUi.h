#pragma once
#include <QtCore/qglobal.h>

#if defined(KVPLATFORM_UI_LIBRARY)
#define KVPLATFORM_UI_EXPORT Q_DECL_EXPORT
#else
#define KVPLATFORM_UI_EXPORT Q_DECL_IMPORT
#endif

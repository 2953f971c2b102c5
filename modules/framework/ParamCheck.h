#pragma once
// Validation of the parameter form and the size text.
#include "ModuleData.h"

#include <functional>
#include <vector>

namespace kv::fw {

// The numbers of a size text: exactly parts numbers joined by "*", no blank
// after trimming; empty when the text is not such a size.
std::vector<float> ParseSize(const QString &text, int parts);

// A positive number ("2.4"); false otherwise.
bool PositiveNumber(const QString &text, double *value = nullptr);
// An integer of at least 1.
bool CountAtLeastOne(const QString &text, int *value = nullptr);

// Runs d.Checks in order; the first failure's message (translated) wins,
// empty when every check passes. moduleCheck answers TCheck::Module.
QString ValidateParams(const TModuleData &d, const TParamValues &v,
                       const std::function<QString(const TParamValues &)> &moduleCheck = {});

} // namespace kv::fw

// Settings-rule records the device lifecycle and the window handling build.
#pragma once

#include "common/kit/match/kit_match.h"

// Every one of the fifteen rules set to one value.
inline KitSettingsRules KitRulesAll(KitRule rule) {
    KitSettingsRules rules;
    rules.ruleAdapter = rules.ruleDeviceType = rules.ruleWindowed = rules.ruleAdapterFormat =
        rules.ruleVertexProcessing = rules.ruleResolution = rules.ruleBackBufferFormat =
            rules.ruleBackBufferCount = rules.ruleMultisample = rules.ruleSwapEffect = rules.ruleDepthBits =
                rules.ruleStencilBits = rules.rulePresentFlags = rules.ruleRefreshRate =
                    rules.rulePresentInterval = rule;
    return rules;
}

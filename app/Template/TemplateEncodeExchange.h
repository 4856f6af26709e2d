// The device's JSON requests for a channel's "Encode" configuration and the checks on its
// answers, free of Qt and of the SDK so that they can be fuzzed alone. Answers are text of at
// most TEMPLATE_JSON_BUFFER_SIZE bytes; nesting is bounded by CTemplateXml::kMaxJsonDepth.
#pragma once

#include <string>

namespace tplenc {

// configManager.getConfig of channel's "Encode", local values only.
std::string GetRequest(int channel);
// configManager.setConfig of channel's "Encode" with the params.table of a (merged) getConfig
// answer. False, and no request, when the answer is not JSON or has no params.table object.
bool SetRequest(const char* answer, int channel, std::string& request);
// Whether a setConfig answer reports success ("result": true).
bool Accepted(const char* answer);

} // namespace tplenc

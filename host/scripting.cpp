#include "host/scripting.h"

#include <algorithm>
#include <cstring>

#include "host/host_services.h"

namespace {

// Every procedure of a table is a pointer, from the first one to the table's end.
template <typename Table, size_t First, size_t Count>
bool everyProcedurePresent(const Table& table) {
  static_assert(First + Count * sizeof(void*) == sizeof(Table));
  std::array<uintptr_t, Count> procedures;
  std::memcpy(procedures.data(), reinterpret_cast<const char*>(&table) + First, sizeof procedures);
  return std::ranges::none_of(procedures, [](uintptr_t p) { return p == 0; });
}

// The list a read descriptor is opened with, ended by 0 as hosts expect.
std::array<DescriptorKeyID, kScriptingKeyCount + 1> keyList() {
  std::array<DescriptorKeyID, kScriptingKeyCount + 1> keys{};
  for (int i = 0; i < kScriptingKeyCount; ++i) keys[i] = kScriptingKeys[i].key;
  return keys;
}

const ScriptingKey* findKey(DescriptorKeyID key) {
  const auto* k = std::ranges::find(kScriptingKeys, key, &ScriptingKey::key);
  return k == kScriptingKeys.end() ? nullptr : k;
}

// A value the host could not give leaves the field as it is (its default): the host's
// variable would hold nothing worth storing.
void readValue(const ReadDescriptorProcs& procs, PIReadDescriptor reader, const ScriptingKey& k,
               Settings& settings) {
  switch (k.kind) {
    case ScriptedKind::waterChannel: {
      int32_t value = 0;
      // Scripts carry 8 bits; they land in the high byte, so 255 is 0xFF00.
      if (procs.getIntegerProc(reader, &value) == noErr)
        settings.waterColour.*k.channel = static_cast<uint16_t>(static_cast<uint32_t>(value) << 8);
      break;
    }
    case ScriptedKind::integer: {
      int32_t value = 0;
      if (procs.getIntegerProc(reader, &value) == noErr) settings.*k.integer = value;
      break;
    }
    case ScriptedKind::glue: {
      DescriptorEnumID code = 0;
      if (procs.getEnumeratedProc(reader, &code) == noErr) settings.*k.integer = glueFromCode(code);
      break;
    }
    case ScriptedKind::centre: {
      double value = 0;
      if (procs.getFloatProc(reader, &value) == noErr) settings.*k.coordinate = static_cast<float>(value);
      break;
    }
  }
}

void writeValue(const WriteDescriptorProcs& procs, PIWriteDescriptor writer, const ScriptingKey& k,
                const Settings& settings) {
  switch (k.kind) {
    case ScriptedKind::waterChannel:
      procs.putIntegerProc(writer, k.key, settings.waterColour.*k.channel >> 8);
      break;
    case ScriptedKind::integer:
      procs.putIntegerProc(writer, k.key, settings.*k.integer);
      break;
    case ScriptedKind::glue:
      procs.putEnumeratedProc(writer, k.key, kGlueEnumType, glueCode(settings.*k.integer));
      break;
    case ScriptedKind::centre: {
      const double value = settings.*k.coordinate;
      procs.putFloatProc(writer, k.key, &value);
      break;
    }
  }
}

// The descriptor is the host's handle: only the host's own procedures may free it. A host
// without them loses the handle rather than have the module free it as its own memory.
void releaseHostDescriptor(FilterRecord& record) {
  PIDescriptorParameters& parameters = *record.descriptorParameters;
  if (parameters.descriptor && handleProcsUsable(record.handleProcs))
    record.handleProcs->disposeProc(parameters.descriptor);
  parameters.descriptor = nullptr;
}

}  // namespace

bool descriptorsAvailable(const FilterRecord& record) {
  const PIDescriptorParameters* parameters = record.descriptorParameters;
  if (!parameters || parameters->descriptorParametersVersion != kCurrentDescriptorParametersVersion) return false;
  const ReadDescriptorProcs* read = parameters->readDescriptorProcs;
  const WriteDescriptorProcs* write = parameters->writeDescriptorProcs;
  if (!read || !write) return false;
  if (read->readDescriptorProcsVersion != kCurrentReadDescriptorProcsVersion ||
      write->writeDescriptorProcsVersion != kCurrentWriteDescriptorProcsVersion)
    return false;
  if (read->numReadDescriptorProcs < kCurrentReadDescriptorProcsCount ||
      write->numWriteDescriptorProcs < kCurrentWriteDescriptorProcsCount)
    return false;
  return everyProcedurePresent<ReadDescriptorProcs, offsetof(ReadDescriptorProcs, openReadDescriptorProc),
                               kCurrentReadDescriptorProcsCount>(*read) &&
         everyProcedurePresent<WriteDescriptorProcs, offsetof(WriteDescriptorProcs, openWriteDescriptorProc),
                               kCurrentWriteDescriptorProcsCount>(*write);
}

bool hostSkipsScripting(const FilterRecord& record) {
  return std::ranges::find(kSkippingHostSignatures, record.hostSig) != std::end(kSkippingHostSignatures);
}

bool scriptedParametersPresent(const FilterRecord& record) {
  if (hostSkipsScripting(record) || !descriptorsAvailable(record)) return false;
  const PIDescriptorParameters& parameters = *record.descriptorParameters;
  const ReadDescriptorProcs& procs = *parameters.readDescriptorProcs;
  auto keys = keyList();
  PIReadDescriptor reader = procs.openReadDescriptorProc(parameters.descriptor, keys.data());
  if (!reader) return false;
  // Only a look: the host keeps the descriptor for the real reading, and an opened reader
  // left behind would be the host's leak.
  procs.closeReadDescriptorProc(reader);
  return true;
}

void readScriptingParameters(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  if (hostSkipsScripting(record) || !descriptorsAvailable(record)) return;
  PIDescriptorParameters& parameters = *record.descriptorParameters;
  const ReadDescriptorProcs& procs = *parameters.readDescriptorProcs;

  auto keys = keyList();
  if (PIReadDescriptor reader = procs.openReadDescriptorProc(parameters.descriptor, keys.data())) {
    // A key the action lacks takes its default, not the previous run's value.
    applyDefaultSettings(block.settings);
    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    int32_t flags = 0;
    while (procs.getKeyProc(reader, &key, &type, &flags))
      if (const ScriptingKey* k = findKey(key)) readValue(procs, reader, *k, block.settings);
    const OSErr closed = procs.closeReadDescriptorProc(reader);
    releaseHostDescriptor(record);
    // A missing parameter only means an older or shorter action.
    if (closed != noErr && closed != errAEParamMissed) *state.result = closed;
  }
  block.showDialog = parameters.playInfo == plugInDialogDisplay ? 1 : 0;
}

void writeScriptingParameters(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  if (!descriptorsAvailable(record)) return;
  PIDescriptorParameters& parameters = *record.descriptorParameters;
  const WriteDescriptorProcs& procs = *parameters.writeDescriptorProcs;
  PIWriteDescriptor writer = procs.openWriteDescriptorProc();
  if (!writer) return;
  // A key the host refuses must not cost the others, so put results are not checked.
  for (const ScriptingKey& k : kScriptingKeys) writeValue(procs, writer, k, state.parameters->settings);
  PIDescriptorHandle written = nullptr;
  // The run has succeeded; failing to record it is the host's matter, not the run's result.
  procs.closeWriteDescriptorProc(writer, &written);
  releaseHostDescriptor(record);
  parameters.descriptor = written;
  parameters.recordInfo = plugInDialogOptional;
}

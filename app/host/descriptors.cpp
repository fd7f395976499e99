// Descriptor procedures: how this host records a module's parameters as an action and plays
// them back. A descriptor travels to and from the module as a host handle holding the values
// one after another, big-endian: key, type, then the integer (4 bytes), the double (8 bytes)
// or the enumeration's type and value (4 + 4 bytes).
#include <algorithm>
#include <bit>
#include <cstring>

#include "app/host/procedures.h"

namespace {

// The procedures receive no host; they act on the one whose call is under way.
Host* active = nullptr;

// What a module may ask for but this host does not keep (units, text, references...).
constexpr OSErr kNotKept = paramErr;

// ---- the handle's contents ------------------------------------------------------------

void putBytes(std::vector<uint8_t>& out, uint64_t v, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t takeBytes(const uint8_t*& p, int count) {
  uint64_t v = 0;
  for (int i = 0; i < count; ++i) v = v << 8 | *p++;
  return v;
}

std::vector<uint8_t> encode(const Descriptor& descriptor) {
  std::vector<uint8_t> out;
  for (const DescriptorValue& v : descriptor) {
    putBytes(out, v.key, 4);
    putBytes(out, v.type, 4);
    if (v.type == typeInteger) putBytes(out, static_cast<uint32_t>(v.integer), 4);
    if (v.type == typeFloat) putBytes(out, std::bit_cast<uint64_t>(v.number), 8);
    if (v.type == typeEnumerated) {
      putBytes(out, v.enumType, 4);
      putBytes(out, v.enumValue, 4);
    }
  }
  return out;
}

// False for contents this host did not write.
bool decode(const uint8_t* p, size_t size, Descriptor& descriptor) {
  const uint8_t* end = p + size;
  descriptor.clear();
  while (p != end) {
    if (end - p < 8) return false;
    DescriptorValue v;
    v.key = static_cast<DescriptorKeyID>(takeBytes(p, 4));
    v.type = static_cast<DescriptorTypeID>(takeBytes(p, 4));
    if (v.type != typeInteger && v.type != typeFloat && v.type != typeEnumerated) return false;
    if (end - p < (v.type == typeInteger ? 4 : 8)) return false;
    if (v.type == typeInteger) v.integer = static_cast<int32_t>(takeBytes(p, 4));
    if (v.type == typeFloat) v.number = std::bit_cast<double>(takeBytes(p, 8));
    if (v.type == typeEnumerated) {
      v.enumType = static_cast<DescriptorEnumTypeID>(takeBytes(p, 4));
      v.enumValue = static_cast<DescriptorEnumID>(takeBytes(p, 4));
    }
    descriptor.push_back(v);
  }
  return true;
}

// The host's own handles, so that the module can dispose of them with the host's procedure.
Handle newDescriptorHandle(Host& host, const Descriptor& descriptor) {
  const std::vector<uint8_t> bytes = encode(descriptor);
  hostMakeCurrent(host);
  Handle handle = host.handleProcs.newProc(static_cast<int32_t>(bytes.size()));
  if (handle && !bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
  return handle;
}

bool readDescriptorHandle(Host& host, Handle handle, Descriptor& descriptor) {
  return handle && decode(reinterpret_cast<const uint8_t*>(*handle), host.handleProcs.getSizeProc(handle), descriptor);
}

void disposeDescriptorHandle(Host& host) {
  PIDescriptorParameters& parameters = host.actions.parameters;
  if (!parameters.descriptor) return;
  hostMakeCurrent(host);
  host.handleProcs.disposeProc(parameters.descriptor);
  parameters.descriptor = nullptr;
}

// ---- reading ----------------------------------------------------------------------------

struct ReadSession {
  Descriptor values;
  size_t next = 0;
  const DescriptorValue* current = nullptr;  // the value of the key getKey gave last
  bool keysMissing = false;
};

ReadSession& session(PIReadDescriptor reader) { return *reinterpret_cast<ReadSession*>(reader); }

PIReadDescriptor openRead(PIDescriptorHandle descriptor, DescriptorKeyIDArray keys) {
  HostActions& actions = active->actions;
  ++actions.readsOpened;
  actions.keysAsked.clear();
  for (const DescriptorKeyID* k = keys; k && *k; ++k) actions.keysAsked.push_back(*k);
  auto* reader = new ReadSession;
  if (!readDescriptorHandle(*active, descriptor, reader->values)) {
    delete reader;
    return nullptr;
  }
  for (DescriptorKeyID key : actions.keysAsked)
    if (!findValue(reader->values, key)) reader->keysMissing = true;
  return reinterpret_cast<PIReadDescriptor>(reader);
}

// Hosts report the most important error of the reading: here, a key of the list that the
// descriptor did not hold.
OSErr closeRead(PIReadDescriptor reader) {
  const bool missing = session(reader).keysMissing;
  delete &session(reader);
  if (active->switches.closeReadError) return active->switches.closeReadError;
  return missing ? errAEParamMissed : noErr;
}

Boolean getKey(PIReadDescriptor reader, DescriptorKeyID* key, DescriptorTypeID* type, int32_t* flags) {
  ReadSession& s = session(reader);
  if (s.next >= s.values.size()) return false;
  s.current = &s.values[s.next++];
  *key = s.current->key;
  *type = s.current->type;
  *flags = 0;
  return true;
}

const DescriptorValue* currentOf(PIReadDescriptor reader, DescriptorTypeID type) {
  const DescriptorValue* v = session(reader).current;
  if (!v || v->type != type || v->key == active->switches.failGetOf) return nullptr;
  return v;
}

OSErr getInteger(PIReadDescriptor reader, int32_t* value) {
  const DescriptorValue* v = currentOf(reader, typeInteger);
  if (!v) return paramErr;
  *value = v->integer;
  return noErr;
}

OSErr getFloat(PIReadDescriptor reader, double* value) {
  const DescriptorValue* v = currentOf(reader, typeFloat);
  if (!v) return paramErr;
  *value = v->number;
  return noErr;
}

OSErr getEnumerated(PIReadDescriptor reader, DescriptorEnumID* value) {
  const DescriptorValue* v = currentOf(reader, typeEnumerated);
  if (!v) return paramErr;
  *value = v->enumValue;
  return noErr;
}

OSErr getPinnedInteger(PIReadDescriptor reader, int32_t min, int32_t max, int32_t* value) {
  const OSErr error = getInteger(reader, value);
  if (error == noErr) *value = std::clamp(*value, min, max);
  return error;
}

OSErr getPinnedFloat(PIReadDescriptor reader, const double* min, const double* max, double* value) {
  const OSErr error = getFloat(reader, value);
  if (error == noErr) *value = std::clamp(*value, *min, *max);
  return error;
}

// ---- writing ----------------------------------------------------------------------------

struct WriteSession {
  Descriptor values;
};

WriteSession& session(PIWriteDescriptor writer) { return *reinterpret_cast<WriteSession*>(writer); }

PIWriteDescriptor openWrite() {
  ++active->actions.writesOpened;
  return reinterpret_cast<PIWriteDescriptor>(new WriteSession);
}

OSErr closeWrite(PIWriteDescriptor writer, PIDescriptorHandle* newDescriptor) {
  *newDescriptor = newDescriptorHandle(*active, session(writer).values);
  delete &session(writer);
  return *newDescriptor ? noErr : memFullErr;
}

OSErr put(PIWriteDescriptor writer, const DescriptorValue& value) {
  session(writer).values.push_back(value);
  return noErr;
}

OSErr putInteger(PIWriteDescriptor writer, DescriptorKeyID key, int32_t value) {
  return put(writer, integerValue(key, value));
}

OSErr putFloat(PIWriteDescriptor writer, DescriptorKeyID key, const double* value) {
  return put(writer, floatValue(key, *value));
}

OSErr putEnumerated(PIWriteDescriptor writer, DescriptorKeyID key, DescriptorTypeID type, DescriptorEnumID value) {
  return put(writer, enumeratedValue(key, type, value));
}

// Every procedure of the tables is offered, as the interface asks; those of kinds this host
// does not keep refuse.
template <typename Proc>
struct Refuse;
template <typename... Args>
struct Refuse<OSErr (*)(Args...)> {
  static OSErr call(Args...) { return kNotKept; }
};

}  // namespace

DescriptorValue integerValue(DescriptorKeyID key, int32_t value) {
  DescriptorValue v;
  v.key = key;
  v.type = typeInteger;
  v.integer = value;
  return v;
}

DescriptorValue floatValue(DescriptorKeyID key, double value) {
  DescriptorValue v;
  v.key = key;
  v.type = typeFloat;
  v.number = value;
  return v;
}

DescriptorValue enumeratedValue(DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID value) {
  DescriptorValue v;
  v.key = key;
  v.type = typeEnumerated;
  v.enumType = type;
  v.enumValue = value;
  return v;
}

const DescriptorValue* findValue(const Descriptor& descriptor, DescriptorKeyID key) {
  const auto v = std::ranges::find(descriptor, key, &DescriptorValue::key);
  return v == descriptor.end() ? nullptr : &*v;
}

void hostInstallDescriptors(Host& host) {
  HostActions& a = host.actions;
  a.readProcs = {kCurrentReadDescriptorProcsVersion,
                 kCurrentReadDescriptorProcsCount,
                 openRead,
                 closeRead,
                 getKey,
                 getInteger,
                 getFloat,
                 Refuse<GetUnitFloatProc>::call,
                 Refuse<GetBooleanProc>::call,
                 Refuse<GetTextProc>::call,
                 Refuse<GetAliasProc>::call,
                 getEnumerated,
                 Refuse<GetClassProc>::call,
                 Refuse<GetSimpleReferenceProc>::call,
                 Refuse<GetObjectProc>::call,
                 Refuse<GetCountProc>::call,
                 Refuse<GetStringProc>::call,
                 getPinnedInteger,
                 getPinnedFloat,
                 Refuse<GetPinnedUnitFloatProc>::call};
  a.writeProcs = {kCurrentWriteDescriptorProcsVersion,
                  kCurrentWriteDescriptorProcsCount,
                  openWrite,
                  closeWrite,
                  putInteger,
                  putFloat,
                  Refuse<PutUnitFloatProc>::call,
                  Refuse<PutBooleanProc>::call,
                  Refuse<PutTextProc>::call,
                  Refuse<PutAliasProc>::call,
                  putEnumerated,
                  Refuse<PutClassProc>::call,
                  Refuse<PutSimpleReferenceProc>::call,
                  Refuse<PutObjectProc>::call,
                  Refuse<PutCountProc>::call,
                  Refuse<PutStringProc>::call,
                  Refuse<PutScopedClassProc>::call,
                  Refuse<PutScopedObjectProc>::call};
  a.parameters.descriptorParametersVersion = kCurrentDescriptorParametersVersion;
  a.parameters.readDescriptorProcs = &a.readProcs;
  a.parameters.writeDescriptorProcs = &a.writeProcs;
  host.record.descriptorParameters = host.switches.noDescriptors ? nullptr : &a.parameters;
}

void hostActionsBefore(Host& host, int16_t selector) {
  active = &host;
  HostActions& a = host.actions;
  if (selector == filterSelectorParameters) a.dialogAsked = true;
  if (selector != filterSelectorStart || !host.record.descriptorParameters) return;
  disposeDescriptorHandle(host);
  const Descriptor* played = nullptr;
  if (a.play) {
    played = &*a.play;
    a.parameters.playInfo = a.playInfo;
  } else if (a.dialogAsked) {
    a.parameters.playInfo = plugInDialogDisplay;
  } else {
    if (a.recorded) played = &*a.recorded;
    a.parameters.playInfo = plugInDialogDontDisplay;
  }
  a.dialogAsked = false;
  if (played) a.parameters.descriptor = newDescriptorHandle(host, *played);
}

void hostActionsAfter(Host& host, int16_t selector) {
  if (selector != filterSelectorFinish || !host.record.descriptorParameters) return;
  HostActions& a = host.actions;
  Descriptor recorded;
  if (readDescriptorHandle(host, a.parameters.descriptor, recorded)) {
    a.recorded = std::move(recorded);
    a.recordInfo = a.parameters.recordInfo;
  } else {
    a.recorded.reset();
  }
  disposeDescriptorHandle(host);
}

void hostReleaseDescriptors(Host& host) {
  disposeDescriptorHandle(host);
  if (active == &host) active = nullptr;
}

// The Photoshop filter plug-in interface as its maker publishes it: the records a host
// hands a filter module, the procedure tables behind them, and the numbers both sides
// agree on. Declarations only. Field names and order are the published ones; widths are
// spelled with fixed-width types so the layout is the same on every 64-bit compiler.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// ---- basic types --------------------------------------------------------------------

using Boolean = uint8_t;
using OSErr = int16_t;
using OSType = uint32_t;
using ResType = uint32_t;
using Fixed = int32_t;  // 16.16
using Ptr = char*;
using Handle = char**;
using SPErr = int32_t;
using SPBoolean = uint8_t;
using Str255 = unsigned char[256];
using ConstStr255Param = const unsigned char*;

struct Rect { int16_t top, left, bottom, right; };
struct VRect { int32_t top, left, bottom, right; };
struct Point { int16_t v, h; };
struct VPoint { int32_t v, h; };
struct RGBColor { uint16_t red, green, blue; };
using FilterColor = uint8_t[4];

struct BufferStruct;
using BufferID = BufferStruct*;

// ---- selectors, modes, cases, codes -------------------------------------------------

constexpr int16_t filterSelectorAbout = 0;
constexpr int16_t filterSelectorParameters = 1;
constexpr int16_t filterSelectorPrepare = 2;
constexpr int16_t filterSelectorStart = 3;
constexpr int16_t filterSelectorContinue = 4;
constexpr int16_t filterSelectorFinish = 5;

constexpr int16_t plugInModeBitmap = 0;
constexpr int16_t plugInModeGrayScale = 1;
constexpr int16_t plugInModeIndexedColor = 2;
constexpr int16_t plugInModeRGBColor = 3;
constexpr int16_t plugInModeCMYKColor = 4;
constexpr int16_t plugInModeHSLColor = 5;
constexpr int16_t plugInModeHSBColor = 6;
constexpr int16_t plugInModeMultichannel = 7;
constexpr int16_t plugInModeDuotone = 8;
constexpr int16_t plugInModeLabColor = 9;
constexpr int16_t plugInModeGray16 = 10;
constexpr int16_t plugInModeRGB48 = 11;
constexpr int16_t plugInModeLab48 = 12;
constexpr int16_t plugInModeCMYK64 = 13;
constexpr int16_t plugInModeDeepMultichannel = 14;
constexpr int16_t plugInModeDuotone16 = 15;
constexpr int16_t plugInModeRGB96 = 16;
constexpr int16_t plugInModeGray32 = 17;

constexpr int16_t filterCaseUnsupported = -1;
constexpr int16_t filterCaseFlatImageNoSelection = 1;
constexpr int16_t filterCaseFlatImageWithSelection = 2;
constexpr int16_t filterCaseFloatingSelection = 3;
constexpr int16_t filterCaseEditableTransparencyNoSelection = 4;
constexpr int16_t filterCaseEditableTransparencyWithSelection = 5;
constexpr int16_t filterCaseProtectedTransparencyNoSelection = 6;
constexpr int16_t filterCaseProtectedTransparencyWithSelection = 7;

constexpr int16_t noErr = 0;
constexpr int16_t readErr = -19;
constexpr int16_t writErr = -20;
constexpr int16_t paramErr = -50;
constexpr int16_t memFullErr = -108;
constexpr int16_t userCanceledErr = -128;
constexpr int16_t errAEParamMissed = -1715;
constexpr int16_t filterBadParameters = -30100;
constexpr int16_t filterBadMode = -30101;
constexpr int16_t errPlugInHostInsufficient = -30900;
constexpr int16_t errPlugInPropertyUndefined = -30901;
constexpr int16_t errReportString = -30904;

// Input and output sampling for the inputRate field: the host can reduce by integers.
constexpr int8_t hostDoesNotSupportSampling = 0;
constexpr int8_t hostSupportsIntegralSampling = 1;
constexpr int8_t hostSupportsFractionalSampling = 2;

// Padding values for inputPadding and friends.
constexpr int16_t plugInWantsEdgeReplication = -1;
constexpr int16_t plugInDoesNotWantPadding = -2;
constexpr int16_t plugInWantsErrorOnBoundsException = -3;

// Host signatures the interface names.
constexpr OSType kPhotoshopSignature = 0x3842494D;  // '8BIM'

// ---- procedures of the FilterRecord ---------------------------------------------------

using TestAbortProc = Boolean (*)();
using ProgressProc = void (*)(int32_t done, int32_t total);
using HostProc = void (*)(int16_t selector, intptr_t* data);
using ProcessEventProc = void (*)(void* event);
using AdvanceStateProc = OSErr (*)();
using GetPropertyProc = OSErr (*)(uint32_t signature, uint32_t key, int32_t index, intptr_t* simpleProperty,
                                  Handle* complexProperty);

// ---- buffer and handle procedures -----------------------------------------------------

using AllocateBufferProc = OSErr (*)(int32_t size, BufferID* bufferID);
using LockBufferProc = Ptr (*)(BufferID bufferID, Boolean moveHigh);
using UnlockBufferProc = void (*)(BufferID bufferID);
using FreeBufferProc = void (*)(BufferID bufferID);
using BufferSpaceProc = int32_t (*)();
using ReserveProc = void (*)(int32_t size);
using AllocateBufferProc64 = OSErr (*)(int64_t size, BufferID* bufferID);
using BufferSpaceProc64 = int64_t (*)();

struct BufferProcs {
  int16_t bufferProcsVersion;
  int16_t numBufferProcs;
  AllocateBufferProc allocateProc;
  LockBufferProc lockProc;
  UnlockBufferProc unlockProc;
  FreeBufferProc freeProc;
  BufferSpaceProc spaceProc;
  ReserveProc reserveProc;
  AllocateBufferProc64 allocateProc64;
  BufferSpaceProc64 spaceProc64;
};
constexpr int16_t kCurrentBufferProcsVersion = 2;
constexpr int16_t kCurrentBufferProcsCount = 8;

using NewPIHandleProc = Handle (*)(int32_t size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32_t (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32_t newSize);
using LockPIHandleProc = Ptr (*)(Handle h, Boolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32_t size);
using DisposeRegularHandlePIHandleProc = void (*)(Handle h);

struct HandleProcs {
  int16_t handleProcsVersion;
  int16_t numHandleProcs;
  NewPIHandleProc newProc;
  DisposePIHandleProc disposeProc;
  GetPIHandleSizeProc getSizeProc;
  SetPIHandleSizeProc setSizeProc;
  LockPIHandleProc lockProc;
  UnlockPIHandleProc unlockProc;
  RecoverSpaceProc recoverSpaceProc;
  DisposeRegularHandlePIHandleProc disposeRegularHandleProc;
};
constexpr int16_t kCurrentHandleProcsVersion = 1;
constexpr int16_t kCurrentHandleProcsCount = 8;

using CountPIResourcesProc = int16_t (*)(ResType type);
using GetPIResourceProc = Handle (*)(ResType type, int16_t index);
using DeletePIResourceProc = void (*)(ResType type, int16_t index);
using AddPIResourceProc = OSErr (*)(ResType type, Handle data);

struct ResourceProcs {
  int16_t resourceProcsVersion;
  int16_t numResourceProcs;
  CountPIResourcesProc countProc;
  GetPIResourceProc getProc;
  DeletePIResourceProc deleteProc;
  AddPIResourceProc addProc;
};

// ---- platform data, pixel maps, display -----------------------------------------------

struct PlatformData {
  intptr_t hwnd;
};

struct PSPixelMatrix;
struct PSPixelMask;
struct PSPixelOverlay;

struct PSPixelMap {
  int32_t version;
  VRect bounds;
  int32_t imageMode;
  int32_t rowBytes;
  int32_t colBytes;
  int32_t planeBytes;
  void* baseAddr;
  PSPixelMatrix* mat;
  PSPixelMask* masks;
  int32_t maskPhaseRow;
  int32_t maskPhaseCol;
  PSPixelOverlay* pixelOverlays;
  uint32_t colorManagementOptions;
  int16_t depth;
};

using DisplayPixelsProc = OSErr (*)(const PSPixelMap* source, const VRect* srcRect, int32_t dstRow, int32_t dstCol,
                                    void* platformContext);

// ---- colour services ------------------------------------------------------------------

constexpr int16_t plugIncolorServicesChooseColor = 0;
constexpr int16_t plugIncolorServicesConvertColor = 1;
constexpr int16_t plugIncolorServicesSamplePoint = 2;
constexpr int16_t plugIncolorServicesGetSpecialColor = 3;

constexpr int16_t plugIncolorServicesRGBSpace = 0;
constexpr int16_t plugIncolorServicesHSBSpace = 1;
constexpr int16_t plugIncolorServicesCMYKSpace = 2;
constexpr int16_t plugIncolorServicesLabSpace = 3;
constexpr int16_t plugIncolorServicesGraySpace = 4;
constexpr int16_t plugIncolorServicesHSLSpace = 5;
constexpr int16_t plugIncolorServicesXYZSpace = 6;
constexpr int16_t plugIncolorServicesChosenSpace = -1;

struct ColorServicesInfo {
  int32_t infoSize;
  int16_t selector;
  int16_t sourceSpace;
  int16_t resultSpace;
  Boolean resultGamutInfoValid;
  Boolean resultInGamut;
  void* reservedSourceSpaceInfo;
  void* reservedResultSpaceInfo;
  int16_t colorComponents[4];
  void* reserved;
  union {
    Str255* pickerPrompt;
    Point* globalSamplePoint;
    int32_t specialColorID;
  } selectorParameter;
};

using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);

// ---- scripting descriptors ------------------------------------------------------------

using DescriptorKeyID = uint32_t;
using DescriptorTypeID = uint32_t;
using DescriptorClassID = uint32_t;
using DescriptorEnumID = uint32_t;
using DescriptorEnumTypeID = uint32_t;
using DescriptorUnitID = uint32_t;
using DescriptorKeyIDArray = DescriptorKeyID*;
using PIDescriptorHandle = Handle;

struct PIOpaqueReadDescriptor;
struct PIOpaqueWriteDescriptor;
using PIReadDescriptor = PIOpaqueReadDescriptor*;
using PIWriteDescriptor = PIOpaqueWriteDescriptor*;

struct PIDescriptorSimpleReference {
  DescriptorTypeID desiredClass;
  DescriptorKeyID keyForm;
  struct {
    Str255 name;
    int32_t index;
    DescriptorTypeID type;
    DescriptorEnumID value;
  } keyData;
};

// Type codes of descriptor values.
constexpr DescriptorTypeID typeInteger = 0x6C6F6E67;     // 'long'
constexpr DescriptorTypeID typeFloat = 0x646F7562;       // 'doub'
constexpr DescriptorTypeID typeUnitFloat = 0x556E7446;   // 'UntF'
constexpr DescriptorTypeID typeBoolean = 0x626F6F6C;     // 'bool'
constexpr DescriptorTypeID typeEnumerated = 0x656E756D;  // 'enum'
constexpr DescriptorTypeID typeChar = 0x54455854;        // 'TEXT'

using OpenReadDescriptorProc = PIReadDescriptor (*)(PIDescriptorHandle descriptor, DescriptorKeyIDArray keys);
using CloseReadDescriptorProc = OSErr (*)(PIReadDescriptor descriptor);
using GetKeyProc = Boolean (*)(PIReadDescriptor descriptor, DescriptorKeyID* key, DescriptorTypeID* type,
                               int32_t* flags);
using GetIntegerProc = OSErr (*)(PIReadDescriptor descriptor, int32_t* value);
using GetFloatProc = OSErr (*)(PIReadDescriptor descriptor, double* value);
using GetUnitFloatProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorUnitID* unit, double* value);
using GetBooleanProc = OSErr (*)(PIReadDescriptor descriptor, Boolean* value);
using GetTextProc = OSErr (*)(PIReadDescriptor descriptor, Handle* value);
using GetAliasProc = OSErr (*)(PIReadDescriptor descriptor, Handle* value);
using GetEnumeratedProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorEnumID* value);
using GetClassProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorClassID* value);
using GetSimpleReferenceProc = OSErr (*)(PIReadDescriptor descriptor, PIDescriptorSimpleReference* value);
using GetObjectProc = OSErr (*)(PIReadDescriptor descriptor, DescriptorClassID* type, PIDescriptorHandle* value);
using GetCountProc = OSErr (*)(PIReadDescriptor descriptor, uint32_t* value);
using GetStringProc = OSErr (*)(PIReadDescriptor descriptor, Str255* value);
using GetPinnedIntegerProc = OSErr (*)(PIReadDescriptor descriptor, int32_t min, int32_t max, int32_t* value);
using GetPinnedFloatProc = OSErr (*)(PIReadDescriptor descriptor, const double* min, const double* max, double* value);
using GetPinnedUnitFloatProc = OSErr (*)(PIReadDescriptor descriptor, const double* min, const double* max,
                                         DescriptorUnitID* unit, double* value);

struct ReadDescriptorProcs {
  int16_t readDescriptorProcsVersion;
  int16_t numReadDescriptorProcs;
  OpenReadDescriptorProc openReadDescriptorProc;
  CloseReadDescriptorProc closeReadDescriptorProc;
  GetKeyProc getKeyProc;
  GetIntegerProc getIntegerProc;
  GetFloatProc getFloatProc;
  GetUnitFloatProc getUnitFloatProc;
  GetBooleanProc getBooleanProc;
  GetTextProc getTextProc;
  GetAliasProc getAliasProc;
  GetEnumeratedProc getEnumeratedProc;
  GetClassProc getClassProc;
  GetSimpleReferenceProc getSimpleReferenceProc;
  GetObjectProc getObjectProc;
  GetCountProc getCountProc;
  GetStringProc getStringProc;
  GetPinnedIntegerProc getPinnedIntegerProc;
  GetPinnedFloatProc getPinnedFloatProc;
  GetPinnedUnitFloatProc getPinnedUnitFloatProc;
};
constexpr int16_t kCurrentReadDescriptorProcsVersion = 0;
constexpr int16_t kCurrentReadDescriptorProcsCount = 18;

using OpenWriteDescriptorProc = PIWriteDescriptor (*)();
using CloseWriteDescriptorProc = OSErr (*)(PIWriteDescriptor descriptor, PIDescriptorHandle* newDescriptor);
using PutIntegerProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, int32_t value);
using PutFloatProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, const double* value);
using PutUnitFloatProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorUnitID unit,
                                   const double* value);
using PutBooleanProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Boolean value);
using PutTextProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Handle value);
using PutAliasProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, Handle value);
using PutEnumeratedProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                    DescriptorEnumID value);
using PutClassProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID value);
using PutSimpleReferenceProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key,
                                         const PIDescriptorSimpleReference* value);
using PutObjectProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                PIDescriptorHandle value);
using PutCountProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, uint32_t count);
using PutStringProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, ConstStr255Param value);
using PutScopedClassProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID value);
using PutScopedObjectProc = OSErr (*)(PIWriteDescriptor descriptor, DescriptorKeyID key, DescriptorTypeID type,
                                      PIDescriptorHandle value);

struct WriteDescriptorProcs {
  int16_t writeDescriptorProcsVersion;
  int16_t numWriteDescriptorProcs;
  OpenWriteDescriptorProc openWriteDescriptorProc;
  CloseWriteDescriptorProc closeWriteDescriptorProc;
  PutIntegerProc putIntegerProc;
  PutFloatProc putFloatProc;
  PutUnitFloatProc putUnitFloatProc;
  PutBooleanProc putBooleanProc;
  PutTextProc putTextProc;
  PutAliasProc putAliasProc;
  PutEnumeratedProc putEnumeratedProc;
  PutClassProc putClassProc;
  PutSimpleReferenceProc putSimpleReferenceProc;
  PutObjectProc putObjectProc;
  PutCountProc putCountProc;
  PutStringProc putStringProc;
  PutScopedClassProc putScopedClassProc;
  PutScopedObjectProc putScopedObjectProc;
};
constexpr int16_t kCurrentWriteDescriptorProcsVersion = 0;
constexpr int16_t kCurrentWriteDescriptorProcsCount = 16;

// What the host asks of the dialog when it plays an action, and how it records one.
constexpr int16_t plugInDialogDontDisplay = 0;
constexpr int16_t plugInDialogDisplay = 1;
constexpr int16_t plugInDialogSilent = 2;
constexpr int16_t plugInDialogOptional = 0;
constexpr int16_t plugInDialogRequired = 1;
constexpr int16_t plugInDialogNone = 2;

struct PIDescriptorParameters {
  int16_t descriptorParametersVersion;
  int16_t playInfo;
  int16_t recordInfo;
  PIDescriptorHandle descriptor;
  WriteDescriptorProcs* writeDescriptorProcs;
  ReadDescriptorProcs* readDescriptorProcs;
};
constexpr int16_t kCurrentDescriptorParametersVersion = 0;

// ---- the basic suite ------------------------------------------------------------------

struct SPBasicSuite {
  SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
  SPErr (*ReleaseSuite)(const char* name, int32_t version);
  SPBoolean (*IsEqual)(const char* token1, const char* token2);
  SPErr (*AllocateBlock)(size_t size, void** block);
  SPErr (*FreeBlock)(void* block);
  SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newBlock);
  SPErr (*Undefined)();
};

// ---- records the host passes to the filter --------------------------------------------

struct ImageServicesProcs;
struct PropertyProcs;
struct ChannelPortProcs;
struct ReadImageDocumentDesc;
struct RenderRecord;
using SPPluginRef = void*;

#pragma pack(push, 4)

struct PlugInMonitor {
  Fixed gamma;
  Fixed redX, redY;
  Fixed greenX, greenY;
  Fixed blueX, blueY;
  Fixed whiteX, whiteY;
  Fixed ambient;
};

struct BigDocumentStruct {
  int32_t PluginUsing32BitCoordinates;
  VPoint imageSize32;
  VRect filterRect32;
  VRect inRect32;
  VRect outRect32;
  VRect maskRect32;
  VPoint floatCoord32;
  VPoint wholeSize32;
};

struct FilterRecord {
  int32_t serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  Handle parameters;
  Point imageSize;
  int16_t planes;
  Rect filterRect;
  RGBColor background;
  RGBColor foreground;
  int32_t maxSpace;
  int32_t bufferSpace;
  Rect inRect;
  int16_t inLoPlane;
  int16_t inHiPlane;
  Rect outRect;
  int16_t outLoPlane;
  int16_t outHiPlane;
  void* inData;
  int32_t inRowBytes;
  void* outData;
  int32_t outRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  Rect maskRect;
  void* maskData;
  int32_t maskRowBytes;
  FilterColor backColor;
  FilterColor foreColor;
  OSType hostSig;
  HostProc hostProc;
  int16_t imageMode;
  Fixed imageHRes;
  Fixed imageVRes;
  Point floatCoord;
  Point wholeSize;
  PlugInMonitor monitor;
  void* platformData;
  BufferProcs* bufferProcs;
  ResourceProcs* resourceProcs;
  ProcessEventProc processEvent;
  DisplayPixelsProc displayPixels;
  HandleProcs* handleProcs;
  Boolean supportsDummyChannels;
  Boolean supportsAlternateLayouts;
  int16_t wantLayout;
  int16_t filterCase;
  int16_t dummyPlaneValue;
  void* premiereHook;
  AdvanceStateProc advanceState;
  Boolean supportsAbsolute;
  Boolean wantsAbsolute;
  GetPropertyProc getPropertyObsolete;
  Boolean cannotUndo;
  Boolean supportsPadding;
  int16_t inputPadding;
  int16_t outputPadding;
  int16_t maskPadding;
  char samplingSupport;
  char reservedByte;
  Fixed inputRate;
  Fixed maskRate;
  ColorServicesProc colorServices;
  int16_t inLayerPlanes;
  int16_t inTransparencyMask;
  int16_t inLayerMasks;
  int16_t inInvertedLayerMasks;
  int16_t inNonLayerPlanes;
  int16_t outLayerPlanes;
  int16_t outTransparencyMask;
  int16_t outLayerMasks;
  int16_t outInvertedLayerMasks;
  int16_t outNonLayerPlanes;
  int16_t absLayerPlanes;
  int16_t absTransparencyMask;
  int16_t absLayerMasks;
  int16_t absInvertedLayerMasks;
  int16_t absNonLayerPlanes;
  int16_t inPreDummyPlanes;
  int16_t inPostDummyPlanes;
  int16_t outPreDummyPlanes;
  int16_t outPostDummyPlanes;
  int32_t inColumnBytes;
  int32_t inPlaneBytes;
  int32_t outColumnBytes;
  int32_t outPlaneBytes;
  ImageServicesProcs* imageServicesProcs;
  PropertyProcs* propertyProcs;
  int16_t inTileHeight;
  int16_t inTileWidth;
  Point inTileOrigin;
  int16_t absTileHeight;
  int16_t absTileWidth;
  Point absTileOrigin;
  int16_t outTileHeight;
  int16_t outTileWidth;
  Point outTileOrigin;
  int16_t maskTileHeight;
  int16_t maskTileWidth;
  Point maskTileOrigin;
  PIDescriptorParameters* descriptorParameters;
  Str255* errorString;
  ChannelPortProcs* channelPortProcs;
  ReadImageDocumentDesc* documentInfo;
  SPBasicSuite* sSPBasic;
  void* plugInRef;
  int32_t depth;
  Handle iCCprofileData;
  int32_t iCCprofileSize;
  int32_t canUseICCProfiles;
  int32_t hasImageScrap;
  BigDocumentStruct* bigDocumentData;
  RenderRecord* input3DScene;
  RenderRecord* output3DScene;
  Boolean createNewLayer;
  Handle iCCWorkingProfileData;
  int32_t iCCWorkingProfileSize;
  int64_t bufferSpace64;
  int64_t maxSpace64;
  char reserved[46];
};

#pragma pack(pop)

struct AboutRecord {
  void* platformData;
  SPBasicSuite* sSPBasic;
  void* plugInRef;
  char reserved[244];
};

// The one entry point of a filter module.
using PluginMainProc = void (*)(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

}  // extern "C"

// ---- layout checks: these numbers are the published records' on 64-bit hosts -------------
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(FilterRecord) == 608);
static_assert(offsetof(FilterRecord, abortProc) == 4);
static_assert(offsetof(FilterRecord, parameters) == 20);
static_assert(offsetof(FilterRecord, filterRect) == 34);
static_assert(offsetof(FilterRecord, maxSpace) == 56);
static_assert(offsetof(FilterRecord, inData) == 88);
static_assert(offsetof(FilterRecord, isFloating) == 112);
static_assert(offsetof(FilterRecord, maskRect) == 116);
static_assert(offsetof(FilterRecord, maskData) == 124);
static_assert(offsetof(FilterRecord, backColor) == 136);
static_assert(offsetof(FilterRecord, hostSig) == 144);
static_assert(offsetof(FilterRecord, hostProc) == 148);
static_assert(offsetof(FilterRecord, imageMode) == 156);
static_assert(offsetof(FilterRecord, imageHRes) == 160);
static_assert(offsetof(FilterRecord, monitor) == 176);
static_assert(offsetof(FilterRecord, platformData) == 216);
static_assert(offsetof(FilterRecord, displayPixels) == 248);
static_assert(offsetof(FilterRecord, handleProcs) == 256);
static_assert(offsetof(FilterRecord, wantLayout) == 266);
static_assert(offsetof(FilterRecord, filterCase) == 268);
static_assert(offsetof(FilterRecord, premiereHook) == 272);
static_assert(offsetof(FilterRecord, advanceState) == 280);
static_assert(offsetof(FilterRecord, getPropertyObsolete) == 292);
static_assert(offsetof(FilterRecord, cannotUndo) == 300);
static_assert(offsetof(FilterRecord, inputPadding) == 302);
static_assert(offsetof(FilterRecord, samplingSupport) == 308);
static_assert(offsetof(FilterRecord, inputRate) == 312);
static_assert(offsetof(FilterRecord, colorServices) == 320);
static_assert(offsetof(FilterRecord, inLayerPlanes) == 328);
static_assert(offsetof(FilterRecord, inTransparencyMask) == 330);
static_assert(offsetof(FilterRecord, outPostDummyPlanes) == 364);
static_assert(offsetof(FilterRecord, inColumnBytes) == 368);
static_assert(offsetof(FilterRecord, outPlaneBytes) == 380);
static_assert(offsetof(FilterRecord, imageServicesProcs) == 384);
static_assert(offsetof(FilterRecord, inTileHeight) == 400);
static_assert(offsetof(FilterRecord, inTileOrigin) == 404);
static_assert(offsetof(FilterRecord, maskTileOrigin) == 428);
static_assert(offsetof(FilterRecord, descriptorParameters) == 432);
static_assert(offsetof(FilterRecord, errorString) == 440);
static_assert(offsetof(FilterRecord, sSPBasic) == 464);
static_assert(offsetof(FilterRecord, plugInRef) == 472);
static_assert(offsetof(FilterRecord, depth) == 480);
static_assert(offsetof(FilterRecord, iCCprofileData) == 484);
static_assert(offsetof(FilterRecord, iCCprofileSize) == 492);
static_assert(offsetof(FilterRecord, canUseICCProfiles) == 496);
static_assert(offsetof(FilterRecord, hasImageScrap) == 500);
static_assert(offsetof(FilterRecord, bigDocumentData) == 504);
static_assert(offsetof(FilterRecord, input3DScene) == 512);
static_assert(offsetof(FilterRecord, createNewLayer) == 528);
static_assert(offsetof(FilterRecord, iCCWorkingProfileData) == 532);
static_assert(offsetof(FilterRecord, iCCWorkingProfileSize) == 540);
static_assert(offsetof(FilterRecord, bufferSpace64) == 544);
static_assert(offsetof(FilterRecord, maxSpace64) == 552);
static_assert(offsetof(FilterRecord, reserved) == 560);

static_assert(sizeof(BigDocumentStruct) == 92);
static_assert(offsetof(BigDocumentStruct, imageSize32) == 4);
static_assert(offsetof(BigDocumentStruct, filterRect32) == 12);
static_assert(offsetof(BigDocumentStruct, floatCoord32) == 76);
static_assert(offsetof(BigDocumentStruct, wholeSize32) == 84);

static_assert(sizeof(PlugInMonitor) == 40);
static_assert(sizeof(BufferProcs) == 72 && offsetof(BufferProcs, allocateProc) == 8);
static_assert(offsetof(BufferProcs, spaceProc64) == 64);
static_assert(sizeof(HandleProcs) == 72 && offsetof(HandleProcs, newProc) == 8);
static_assert(offsetof(HandleProcs, disposeRegularHandleProc) == 64);
static_assert(sizeof(ReadDescriptorProcs) == 152 && offsetof(ReadDescriptorProcs, openReadDescriptorProc) == 8);
static_assert(offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) == 144);
static_assert(sizeof(WriteDescriptorProcs) == 136 && offsetof(WriteDescriptorProcs, openWriteDescriptorProc) == 8);
static_assert(offsetof(WriteDescriptorProcs, putScopedObjectProc) == 128);
static_assert(sizeof(PIDescriptorParameters) == 32 && offsetof(PIDescriptorParameters, descriptor) == 8);
static_assert(offsetof(PIDescriptorParameters, readDescriptorProcs) == 24);
static_assert(sizeof(SPBasicSuite) == 56 && offsetof(SPBasicSuite, Undefined) == 48);
static_assert(sizeof(PSPixelMap) == 88 && offsetof(PSPixelMap, baseAddr) == 40);
static_assert(offsetof(PSPixelMap, colorManagementOptions) == 80 && offsetof(PSPixelMap, depth) == 84);
static_assert(sizeof(ColorServicesInfo) == 56 && offsetof(ColorServicesInfo, colorComponents) == 32);
static_assert(offsetof(ColorServicesInfo, resultInGamut) == 11 && offsetof(ColorServicesInfo, selectorParameter) == 48);
static_assert(sizeof(PlatformData) == 8);
static_assert(sizeof(AboutRecord) == 272);
#endif

// The conversation between the programs and the metafile helper
// (corvmetafilehelper): see QZMetafileHelper.cpp.
#pragma once

#include <QtGlobal>

inline constexpr quint32 MetafileDrawn = 0;
inline constexpr quint32 MetafileRejected = 1;
inline constexpr int MetafileAnswerHeaderBytes = 16;

// The helper's limits unless it is told others: address space in megabytes
// and processor time for one metafile in seconds.
inline constexpr long MetafileHelperMemoryMb = 1024;
inline constexpr long MetafileHelperCpuSeconds = 4;

// The helper's program name, looked for beside the program and in the
// installation's folder of helper programs.
inline constexpr char MetafileHelperName[] = "corvmetafilehelper";

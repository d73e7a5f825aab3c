// Metafiles are converted to SVG in the metafile helper process
// (corvmetafilehelper), one helper reused for every metafile and started
// again after it ends. The helper runs with limits on memory and processor
// time; a metafile that crashes it, runs past its limits or past the wait
// here, or answers with more than a drawing may hold, is a picture that
// cannot be read. What the helper draws is sanitised before it is handed
// back. The helper is looked for beside the program, then in the
// installation's folder of helper programs.
#pragma once

#include "QZMetafileFormat.h"
#include "QZMetafileProtocol.h"

struct TMetafileSandboxLimits
{
    long MemoryMb = MetafileHelperMemoryMb;     // the helper's address space
    long CpuSeconds = MetafileHelperCpuSeconds; // processor time for one metafile
    int WaitMs = 10000;                         // time for one metafile's answer
};

// Converts an enhanced or Windows metafile in the helper; the SVG is already
// sanitised.
TMetafileSvg ConvertMetafile(QByteArrayView bytes);

// For tests: the helper program to run (empty: the one looked for) and its
// limits. Each returns what was in force before; the helper running is
// stopped, so that the next metafile starts one with the new settings.
QString SetMetafileHelperProgram(const QString &program);
TMetafileSandboxLimits SetMetafileSandboxLimits(const TMetafileSandboxLimits &limits);

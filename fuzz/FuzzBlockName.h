#pragma once
// The block name the single-instance fuzz target and its seeds agree on.
#include "SingleInstanceProtocol.h"

inline QString fuzzBlockName()
{
    BlockNameInputs in;
    in.applicationName = QStringLiteral("Vantrel HDR");
    in.organizationName = QStringLiteral("Vantrel Imaging");
    in.applicationVersion = QStringLiteral("2.1.0.118");
    in.executablePath = QStringLiteral("/usr/bin/vantrel-hdr");
    in.userName = QStringLiteral("fuzz");
    in.options = SingleInstanceUserScope;
    return deriveBlockName(in);
}

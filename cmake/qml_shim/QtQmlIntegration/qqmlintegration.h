// Stand-in for Qt Quick's registration macros, which Qt TextToSpeech's header includes;
// used only where qt6-declarative-dev is not installed. No QML is used here.
#pragma once
#ifndef QML_ELEMENT
#define QML_ELEMENT
#endif

#pragma once

// The base64 Ed25519 public key releases must verify with, fixed when the build is configured.
extern const char* const pinnedUpdateKey;

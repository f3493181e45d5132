#include "java_homes.h"

#include "platform/fake_platform.h"

std::string programHeader(unsigned machine) {
  std::string bytes(0x80, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = 0x80;  // where the PE header starts
  bytes += std::string("PE\0\0", 4);
  bytes += (char)(machine & 0xFF);
  bytes += (char)(machine >> 8);
  return bytes + std::string(0x100, '\0');
}

void fakeInstallJava(const std::string& home, int bits, const std::string& release) {
  std::string program = bits == 64 ? programHeader(0x8664)
                        : bits == 32 ? programHeader(0x14c)
                                     : std::string("#!/bin/sh\n");
  fakeAddFile(home + "\\bin\\javaw.exe", program);
  fakeAddFile(home + "\\bin\\java.exe", program);
  if (!release.empty())
    fakeAddFile(home + "\\release",
                "IMPLEMENTOR=\"Test\"\nJAVA_RUNTIME_VERSION=\"" + release + "+1\"\nJAVA_VERSION=\"" +
                    release + "\"\nOS_ARCH=\"amd64\"\n");
}

#!/bin/sh
# Fails when a source of the logic or of the platform interfaces includes Qt or a
# system header: those belong to platform/wine/, ui/ and app/ only.
root=${1:-.}
bad=$(grep -nE '^\s*#\s*include\s*<(Q[A-Za-z]*|unistd\.h|fcntl\.h|dirent\.h|sys/[^>]*|pwd\.h|signal\.h|errno\.h|windows\.h|linux/[^>]*)>' \
      "$root"/platform/*.h "$root"/platform/*.cpp "$root"/platform/fake/* \
      "$root"/settings/* "$root"/scandb/* "$root"/changes/* "$root"/removal/* "$root"/cleanup/* 2>/dev/null)
if [ -n "$bad" ]; then
  echo "These logic sources include Qt or system headers:"
  echo "$bad"
  exit 1
fi
echo "logic includes: clean"

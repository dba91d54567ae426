# Sourced: prepare_demo_layout BUILD_DIR fills the current Wine prefix with a
# demo Tomcat in C:\tomcat (velmora.exe, velmora-cli.exe and the stand-in wrapper in bin) and a
# JDK in C:\jdk, so that a new configuration passes every check.
prepare_demo_layout() {
  local build=$1
  local c="$WINEPREFIX/drive_c"
  local tomcat="$c/tomcat" jdk="$c/jdk"
  mkdir -p "$tomcat"/{bin,conf,logs,temp,common/lib,common/endorsed,server,shared,webapps,work}
  mkdir -p "$jdk"/bin "$jdk"/jre/bin/server "$jdk"/jre/bin/client "$jdk"/lib
  cp "$build/tools/java/java.exe" "$jdk/bin/java.exe"
  cp "$build/src/ui/win32/velmora.exe" "$build/src/ui/win32/velmora-cli.exe" "$tomcat/bin/"
  cp "$build/tools/wrapper/tomcat.exe" "$tomcat/bin/tomcat.exe"
  echo "demo bootstrap" > "$tomcat/bin/bootstrap.jar"
  printf '<Server port="8005" shutdown="SHUTDOWN"><Service name="Catalina"><Connector port="8080"/></Service></Server>\n' > "$tomcat/conf/server.xml"
  printf 'grant { permission java.security.AllPermission; };\n' > "$tomcat/conf/catalina.policy"
  echo "demo jvm" > "$jdk/jre/bin/server/jvm.dll"
  echo "demo jvm" > "$jdk/jre/bin/client/jvm.dll"
  echo "demo tools" > "$jdk/lib/tools.jar"
}

# prepare_modern_demo_layout BUILD_DIR: a Tomcat 10 in C:\tomcat10 with its own
# wrapper bin\tomcat10.exe (the stand-in) and a JDK 21 in C:\jdk-21 that is
# registered only under HKLM\SOFTWARE\JavaSoft\JDK, as its installer does.
prepare_modern_demo_layout() {
  local build=$1
  local c="$WINEPREFIX/drive_c"
  local tomcat="$c/tomcat10" jdk="$c/jdk-21"
  mkdir -p "$tomcat"/{bin,conf,lib,logs,temp,webapps,work} "$jdk"/bin/server "$jdk"/lib
  cp "$build/src/ui/win32/velmora.exe" "$build/src/ui/win32/velmora-cli.exe" "$tomcat/bin/"
  cp "$build/tools/wrapper-modern/tomcat_modern.exe" "$tomcat/bin/tomcat10.exe"
  cp "$build/tools/java/java.exe" "$jdk/bin/java.exe"
  echo "demo bootstrap" > "$tomcat/bin/bootstrap.jar"
  echo "demo juli" > "$tomcat/bin/tomcat-juli.jar"
  printf '<Server port="8005" shutdown="SHUTDOWN"><Service name="Catalina"><Connector port="8080"/></Service></Server>\n' > "$tomcat/conf/server.xml"
  printf 'handlers = java.util.logging.ConsoleHandler\n' > "$tomcat/conf/logging.properties"
  # The smallest PE header of a 64-bit DLL: MZ, e_lfanew 0x40, PE\0\0, machine 0x8664.
  { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00\x64\x86'; } > "$jdk/bin/server/jvm.dll"
  echo "demo modules" > "$jdk/lib/modules"
  printf 'JAVA_VERSION="21.0.5"\n' > "$jdk/release"
  wine reg add 'HKLM\SOFTWARE\JavaSoft\JDK' /v CurrentVersion /d 21 /f /reg:64 >/dev/null 2>&1
  wine reg add 'HKLM\SOFTWARE\JavaSoft\JDK\21' /v JavaHome /d 'C:\jdk-21' /f /reg:64 >/dev/null 2>&1
}

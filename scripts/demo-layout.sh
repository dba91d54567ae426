# Sourced: prepare_demo_layout BUILD_DIR fills the current Wine prefix with a
# demo Tomcat in C:\tomcat (velmora.exe and the stand-in wrapper in bin) and a
# JDK in C:\jdk, so that a new configuration passes every check.
prepare_demo_layout() {
  local build=$1
  local c="$WINEPREFIX/drive_c"
  local tomcat="$c/tomcat" jdk="$c/jdk"
  mkdir -p "$tomcat"/{bin,conf,logs,temp,common/lib,common/endorsed,server,shared,webapps,work}
  mkdir -p "$jdk"/jre/bin/server "$jdk"/jre/bin/client "$jdk"/lib
  cp "$build/src/ui/win32/velmora.exe" "$tomcat/bin/velmora.exe"
  cp "$build/tools/wrapper/tomcat.exe" "$tomcat/bin/tomcat.exe"
  echo "demo bootstrap" > "$tomcat/bin/bootstrap.jar"
  printf '<Server port="8005" shutdown="SHUTDOWN"/>\n' > "$tomcat/conf/server.xml"
  printf 'grant { permission java.security.AllPermission; };\n' > "$tomcat/conf/catalina.policy"
  echo "demo jvm" > "$jdk/jre/bin/server/jvm.dll"
  echo "demo jvm" > "$jdk/jre/bin/client/jvm.dll"
  echo "demo tools" > "$jdk/lib/tools.jar"
}

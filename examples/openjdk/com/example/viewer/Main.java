package com.example.viewer;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * The example's main class as a real Java program: it reports what it
 * received from the launcher (its arguments, its class path, the Java version
 * that runs it and the viewer.home property) and ends. The report goes to the
 * file that the environment variable VIEWER_REPORT names, else to standard
 * output; its last line is "end".
 */
public class Main {
    public static void main(String[] args) throws IOException {
        StringBuilder report = new StringBuilder();
        for (String property : new String[] {"java.version", "java.class.path", "viewer.home"}) {
            report.append(property).append(' ').append(System.getProperty(property)).append('\n');
        }
        for (String argument : args) {
            report.append("argument ").append(argument).append('\n');
        }
        report.append("end\n");
        String file = System.getenv("VIEWER_REPORT");
        if (file == null) {
            System.out.print(report);
        } else {
            Files.writeString(Path.of(file), report);
        }
    }
}

package com.example.tool;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

/**
 * The command-line example's tool, run by a real Java: it counts the lines of
 * its standard input, writes the count to standard output and its arguments
 * to standard error, and ends with the count as its exit status.
 */
public class Count {
    public static void main(String[] args) throws IOException {
        BufferedReader input = new BufferedReader(new InputStreamReader(System.in));
        int lines = 0;
        while (input.readLine() != null) {
            lines++;
        }
        System.out.println(lines + " lines");
        System.err.println("count: arguments " + String.join(" ", args));
        System.exit(lines);
    }
}

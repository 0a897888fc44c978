#!/usr/bin/env bash
# Command-line checks: placeholder until the command line exists.
exit 0

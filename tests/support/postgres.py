"""The PostgreSQL cluster of the current test run, for a test script that imports this module.

A test declared with shelvoranquist_postgres_test (tests/CMakeLists.txt) finds tests/support on
its PYTHONPATH and the cluster, which the fixture postgres started, in the environment variable
SHELVORANQUIST_POSTGRES_CLUSTER.
"""

import os

from postgres_cluster import Cluster, ClusterError


def cluster():
    link = os.environ.get("SHELVORANQUIST_POSTGRES_CLUSTER")
    if not link:
        raise ClusterError("SHELVORANQUIST_POSTGRES_CLUSTER names no cluster: declare the test "
                           "with shelvoranquist_postgres_test")
    return Cluster(link)


def fresh_database(name):
    """A new, empty database `name` of the test's own (one of that name before is dropped); its
    connection URI, postgresql:///NAME?host=FOLDER&port=PORT, reached through the socket."""
    return cluster().fresh_database(name)


def stop_server(mode="fast"):
    """Stops the server, every database kept: "fast" ends each connection cleanly, "immediate"
    as a crash would. The test runs alone (STOPS_SERVER) and starts the server again itself."""
    cluster().stop_server(mode)


def start_server():
    cluster().start_server()
